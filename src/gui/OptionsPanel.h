#pragma once

// The conversion options of the main window: the controls every job reads (output folder, log
// file, page range), and how the user edits them. The jobs read them through OptionsSource.

#include "gui/MainWindowControls.h"
#include "jobs/ConversionOptions.h"

#include <QObject>

namespace quillet {

class Dialogs;

class OptionsPanel : public QObject, public OptionsSource
{
    Q_OBJECT
public:
    // Connects the option controls of `controls`; the widgets stay the window's.
    OptionsPanel(const MainWindowControls& controls, Dialogs& dialogs, QObject* parent = nullptr);

    ConversionOptions options() const override;
    void setOutputFolderText(const QString& text);
    // Selects "全部" with the same effect as the user's click.
    void selectAllPages();

    // Page-box key filter: returns the character code to pass on, 0 to swallow the key. Digits and
    // the editing keys pass; any other printable character is swallowed.
    static int txtFrom_KeyPress(int KeyAscii);

    // Also run by the jobs when a box is empty.
    void Command1_Click();
    void Command2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Check1_Click();
    void OptSlidesAll_Click();
    void OptSlides2_Click();

    MainWindowControls m_c;
    Dialogs& m_dialogs;
};

} // namespace quillet
