#include "gui/TwipScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace quillet {

namespace {
constexpr qreal TwipsPerInch = 1440.0;
constexpr qreal DefaultDpi = 96.0;
} // namespace

TwipScale::TwipScale(qreal logicalDpi)
    : m_pixelsPerTwip((logicalDpi > 0 ? logicalDpi : DefaultDpi) / TwipsPerInch)
{}

TwipScale TwipScale::ofScreen(const QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return TwipScale(screen ? screen->logicalDotsPerInchX() : DefaultDpi);
}

int TwipScale::toPixels(int twips) const
{
    return static_cast<int>(std::lround(twips * m_pixelsPerTwip));
}

int TwipScale::toTwips(int pixels) const
{
    return static_cast<int>(std::lround(pixels / m_pixelsPerTwip));
}

QRect TwipScale::toPixels(int left, int top, int width, int height) const
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace quillet
