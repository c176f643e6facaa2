#include "gui/OptionsPanel.h"

#include "doclist/FolderBrowser.h"
#include "gui/StartupDefaults.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quillet {

OptionsPanel::OptionsPanel(const MainWindowControls& controls, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_c(controls), m_dialogs(dialogs)
{
    connect(m_c.Command1, &QPushButton::clicked, this, &OptionsPanel::Command1_Click);
    connect(m_c.Command2, &QPushButton::clicked, this, &OptionsPanel::Command2_Click);
    connect(m_c.Check1, &QCheckBox::clicked, this, &OptionsPanel::Check1_Click);
    // Selecting an option from code runs the same handler, as a click does.
    connect(m_c.OptSlidesAll, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptSlidesAll_Click();
    });
    connect(m_c.OptSlides2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptSlides2_Click();
    });
    // A click on the option already selected toggles nothing, yet its handler runs: the first click
    // on "全部" disables the page boxes, which start enabled.
    connect(m_c.OptSlidesAll, &QRadioButton::clicked, this, &OptionsPanel::OptSlidesAll_Click);
    for (QLineEdit* pageBox : {m_c.txtFrom, m_c.txt2}) {
        pageBox->installEventFilter(this);
        // Text an input method commits never passes the key filter: input methods are off here
        // (the event filter answers the input method's question too, which a text box answers
        // from its enabled state alone).
        pageBox->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
}

void OptionsPanel::setOutputFolderText(const QString& text)
{
    m_c.txtOutDir->setText(text);
}

void OptionsPanel::selectAllPages()
{
    if (m_c.OptSlidesAll->isChecked())
        OptSlidesAll_Click();
    else
        m_c.OptSlidesAll->setChecked(true); // runs OptSlidesAll_Click
}

ConversionOptions OptionsPanel::options() const
{
    ConversionOptions current;
    current.outputFolder = m_c.txtOutDir->text();
    current.logPath = m_c.txtLog->text();
    current.allPages = m_c.OptSlidesAll->isChecked();
    current.pageRange = m_c.OptSlides2->isChecked();
    current.firstPage = m_c.txtFrom->text();
    current.lastPage = m_c.txt2->text();
    return current;
}

void OptionsPanel::Command2_Click()
{
    FolderBrowser browser(m_dialogs);
    browser.Caption = QStringLiteral("请选择一个文件夹");
    browser.Owner = m_c.txtOutDir->window();
    browser.GetFolder();
    // A cancelled browser empties the box too.
    m_c.txtOutDir->setText(browser.Folder);
}

// Opens where the current log file is: the program folder, the user's data folder when the log
// could not go beside the program, or the folder of a log path typed in.
void OptionsPanel::Command1_Click()
{
    const QFileInfo current(m_c.txtLog->text().trimmed());
    const QString folder =
        current.isAbsolute() && current.absoluteDir().exists() ? current.absolutePath() : programFolder();
    const QString chosen = m_dialogs.saveFileName(QStringLiteral("处理日志"), QStringLiteral("Slatern.log"),
                                                  QStringLiteral("处理日志(*.log)"), folder, true);
    if (!chosen.trimmed().isEmpty())
        m_c.txtLog->setText(chosen);
}

void OptionsPanel::Check1_Click()
{
    // Exception logging is always on.
    m_c.Check1->setChecked(true);
}

void OptionsPanel::OptSlidesAll_Click()
{
    m_c.txtFrom->setEnabled(!m_c.OptSlidesAll->isChecked());
    m_c.txt2->setEnabled(!m_c.OptSlidesAll->isChecked());
}

void OptionsPanel::OptSlides2_Click()
{
    OptSlidesAll_Click();
    if (m_c.OptSlides2->isChecked())
        m_c.txtFrom->setFocus(Qt::OtherFocusReason);
}

int OptionsPanel::txtFrom_KeyPress(int KeyAscii)
{
    // Only printable characters are typed text; control characters (Backspace 8, and Delete 127,
    // which X sends with the Delete key) are editing keys and keep working.
    if (!QChar(KeyAscii).isPrint() || (KeyAscii >= '0' && KeyAscii <= '9'))
        return KeyAscii;
    return 0;
}

bool OptionsPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Installed on the two page boxes only.
    if (event->type() == QEvent::InputMethodQuery) {
        auto* query = static_cast<QInputMethodQueryEvent*>(event);
        watched->event(query);
        if (query->queries() & Qt::ImEnabled)
            query->setValue(Qt::ImEnabled, false);
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Typed characters only: moving keys, Tab and shortcuts (copy, paste, undo) go through.
        const bool typed = key->text().size() == 1 && key->key() != Qt::Key_Tab &&
                           key->key() != Qt::Key_Backtab &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (typed) {
            const int code = key->text().at(0).unicode();
            // txt2_KeyPress is the same filter.
            if (txtFrom_KeyPress(code) == 0)
                return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillet
