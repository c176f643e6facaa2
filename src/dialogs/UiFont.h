#pragma once

#include <QFont>

namespace quillet {

// The windows' font: one that has Chinese glyphs (Noto Sans CJK from fonts-noto-cjk, or any
// installed family that covers Simplified Chinese), at the 9 points the layouts were designed for.
QFont chooseUiFont();

// Makes it the application's font, so that every window (dialogs, message boxes and file
// dialogs too) uses it whatever the desktop's font, whose size the layouts could not follow.
void useUiFontEverywhere();

} // namespace quillet
