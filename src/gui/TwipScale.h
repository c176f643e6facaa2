#pragma once

// The window is designed in twips (1/1440 inch). This is the one place where twips become pixels,
// using the logical DPI of the screen the window starts on (15 twips per pixel at 96 DPI).

#include <QRect>

class QScreen;

namespace quillet {

class TwipScale
{
public:
    explicit TwipScale(qreal logicalDpi);
    static TwipScale ofScreen(const QScreen* screen);

    int toPixels(int twips) const;
    int toTwips(int pixels) const;
    QRect toPixels(int left, int top, int width, int height) const;

private:
    qreal m_pixelsPerTwip;
};

} // namespace quillet
