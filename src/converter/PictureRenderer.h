#pragma once

// Turns one picture file into an image in memory.

#include <QImage>
#include <QString>

namespace quillet::tessora {

struct RenderedPicture
{
    QImage image;  // null when the picture could not be rendered
    QString error; // why, for the user; empty on success
};

class PictureRenderer
{
public:
    virtual ~PictureRenderer();
    virtual RenderedPicture render(const QString& path) = 0;
};

// BMP and anything else Qt's image readers know.
class QtImageRenderer : public PictureRenderer
{
public:
    RenderedPicture render(const QString& path) override;
};

} // namespace quillet::tessora
