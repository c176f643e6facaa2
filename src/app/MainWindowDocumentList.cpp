// The list commands of the main window.

#include "app/MainWindow.h"

namespace quillet {

// Wired by the document list.
void MainWindow::CmdFileOp_Click(int Index)
{
    Q_UNUSED(Index);
}

} // namespace quillet
