// The batch jobs started from the main window.

#include "app/MainWindow.h"

namespace quillet {

// Wired by the jobs.
void MainWindow::CmdDo_Click() {}

// Wired by the jobs.
void MainWindow::CmdPicExtract_Click() {}

} // namespace quillet
