// The hand-off to the picture format converter.

#include "app/MainWindow.h"

namespace quillet {

// Wired by the hand-off.
void MainWindow::Command3_Click() {}

// Wired by the hand-off: the one call site is Form_Unload.
void MainWindow::StopConverter() {}

} // namespace quillet
