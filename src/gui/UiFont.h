#pragma once

#include <QFont>

namespace quillet {

// The window's font: one that has Chinese glyphs (Noto Sans CJK from fonts-noto-cjk, or any
// installed family that covers Simplified Chinese), at the 9 points the layout was designed for.
QFont chooseUiFont();

} // namespace quillet
