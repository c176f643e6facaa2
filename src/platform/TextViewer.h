#pragma once

#include <QString>

namespace quillet {

// Shows a text file to the user in a program of its own, without waiting for it.
class TextViewer
{
public:
    virtual ~TextViewer();
    // Returns an empty text when the viewer was started, else why it could not be.
    virtual QString open(const QString& fileName) = 0;
};

// The desktop's default program for text files, started detached.
class DesktopTextViewer : public TextViewer
{
public:
    QString open(const QString& fileName) override;
};

} // namespace quillet
