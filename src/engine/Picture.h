#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace quillet {

// A picture as the engine delivers it: the file bytes and their format ("emf", "bmp").
// An empty picture stands for "nothing was delivered" (a null handle on other platforms).
//
// A page picture may be handed over while the engine is still writing it: `pending` then gives the
// bytes once they are written, so the office can walk on (and take up the next document) meanwhile.
struct Picture
{
    QByteArray bytes;
    QString format;
    // Waits for the picture's bytes; throws EngineError when it cannot be written. Empty for a
    // picture handed over written.
    std::function<QByteArray()> pending;

    bool isEmpty() const { return bytes.isEmpty() && !pending; }
    bool isPending() const { return bool(pending); }
    // The bytes, waiting for them while the picture is being written (EngineError when it cannot be).
    QByteArray contents() const { return pending ? pending() : bytes; }
};

// The engine's own stand-in for the system clipboard: a copy operation leaves a picture here,
// the job fetches it and saves it. The user's clipboard is never touched.
class PictureSlot
{
public:
    void put(Picture picture) { m_picture = std::move(picture); }
    void clear() { m_picture = {}; }
    // The current picture, or an empty one when the last copy delivered none.
    Picture fetch() const { return m_picture; }

private:
    Picture m_picture;
};

// Writes the picture to fileName, replacing an existing file, once it is written (see
// Picture::contents). The bytes go to a file beside the target first and are renamed into place, so
// a failure never leaves a half-written picture. Throws EngineError (PathAccess) when the file cannot
// be written, or the engine's error when the picture could not be made.
void SavePicture(const Picture& picture, const QString& fileName);

} // namespace quillet
