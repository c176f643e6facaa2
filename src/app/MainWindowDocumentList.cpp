// The list commands of the main window.

#include "app/MainWindow.h"
#include "doclist/DocumentListPanel.h"

namespace quillet {

void MainWindow::createDocumentList()
{
    m_listPanel = new DocumentListPanel(m_documentList, m_dialogs, ListView2, lblInput, lblProcessing, this);
}

void MainWindow::CmdFileOp_Click(int Index)
{
    // DocxSupported is known only after the start-up probe.
    m_listPanel->commands().setDocxSupported(m_docxSupported);
    m_listPanel->commands().CmdFileOp_Click(Index);
}

} // namespace quillet
