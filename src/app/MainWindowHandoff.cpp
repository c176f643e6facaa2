// The hand-off to the picture format converter.

#include "app/MainWindow.h"

#include <QLineEdit>

namespace quillet {

// Starts the converter on the output folder as typed. A start that fails changes nothing and says
// nothing; each click starts another converter, and only the newest one is stopped at close.
void MainWindow::Command3_Click()
{
    if (m_converters.launch(programFolder(), txtOutDir->text()))
        ConverterPid = m_converters.newestPid();
}

// The one call site is Form_Unload. A converter that has ended already, or one started before
// the newest, is left alone.
void MainWindow::StopConverter()
{
    m_converters.stopNewest();
}

} // namespace quillet
