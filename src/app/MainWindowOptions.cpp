// The conversion options: the controls every job reads, and how the user edits them.

#include "app/MainWindow.h"
#include "doclist/FolderBrowser.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace quillet {

ConversionOptions MainWindow::options() const
{
    ConversionOptions current;
    current.outputFolder = txtOutDir->text();
    current.logPath = txtLog->text();
    current.allPages = OptSlidesAll->isChecked();
    current.pageRange = OptSlides2->isChecked();
    current.firstPage = txtFrom->text();
    current.lastPage = txt2->text();
    return current;
}

void MainWindow::Command2_Click()
{
    FolderBrowser browser(m_dialogs);
    browser.Caption = QStringLiteral("请选择一个文件夹");
    browser.Flags = 0;
    browser.hwnd = winId();
    browser.GetFolder();
    // A cancelled browser empties the box too.
    txtOutDir->setText(browser.Folder);
}

void MainWindow::Command1_Click()
{
    const QString chosen = m_dialogs.saveFileName(QStringLiteral("处理日志"), QStringLiteral("Slatern.log"),
                                                  QStringLiteral("处理日志(*.log)"), programFolder(), true);
    if (!chosen.trimmed().isEmpty())
        txtLog->setText(chosen);
}

void MainWindow::Check1_Click()
{
    // Exception logging is always on.
    Check1->setChecked(true);
}

void MainWindow::OptSlidesAll_Click()
{
    txtFrom->setEnabled(!OptSlidesAll->isChecked());
    txt2->setEnabled(!OptSlidesAll->isChecked());
}

void MainWindow::OptSlides2_Click()
{
    txtFrom->setEnabled(!OptSlidesAll->isChecked());
    txt2->setEnabled(!OptSlidesAll->isChecked());
    if (OptSlides2->isChecked())
        txtFrom->setFocus(Qt::OtherFocusReason);
}

int MainWindow::txtFrom_KeyPress(int KeyAscii)
{
    constexpr int Backspace = 8;
    if (KeyAscii == Backspace || (KeyAscii >= '0' && KeyAscii <= '9'))
        return KeyAscii;
    return 0;
}

int MainWindow::txt2_KeyPress(int KeyAscii)
{
    return txtFrom_KeyPress(KeyAscii);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == txtFrom || watched == txt2) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Typed characters only: moving keys, Tab and shortcuts (copy, paste, undo) go through.
        const bool typed = key->text().size() == 1 && key->key() != Qt::Key_Tab &&
                           key->key() != Qt::Key_Backtab &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (typed) {
            const int code = key->text().at(0).unicode();
            const int passed = watched == txtFrom ? txtFrom_KeyPress(code) : txt2_KeyPress(code);
            if (passed == 0)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quillet
