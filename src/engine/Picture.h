#pragma once

#include <QByteArray>
#include <QString>

namespace quillet {

// A picture as the engine delivers it: the file bytes and their format ("emf", "bmp").
// An empty picture stands for "nothing was delivered" (a null handle on other platforms).
struct Picture
{
    QByteArray bytes;
    QString format;

    bool isEmpty() const { return bytes.isEmpty(); }
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

// Writes the picture to fileName, replacing an existing file. The bytes go to a file beside the
// target first and are renamed into place, so a failure never leaves a half-written picture.
// Throws EngineError (PathAccess) when the file cannot be written.
void SavePicture(const Picture& picture, const QString& fileName);

} // namespace quillet
