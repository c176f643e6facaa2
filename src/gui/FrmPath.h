#pragma once

// The add-folder dialog: asks for one folder and whether its sub-folders are searched too.
// OK hides the dialog with its answers kept; Cancel, the close box and Escape hand back an
// empty folder and an unchecked box, as if the dialog had been dismissed unanswered.

#include "doclist/ListCommands.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet {

class Dialogs;

class FrmPath : public QDialog
{
    Q_OBJECT

public:
    FrmPath(Dialogs& dialogs, bool docxSupported, QWidget* parent = nullptr);

    // Shows a fresh dialog modally and returns what it hands back.
    static FolderRequest ask(Dialogs& dialogs, bool docxSupported, QWidget* parent);

    // The answer after the dialog has closed: the folder as typed (not trimmed) and the
    // check box after OK; an empty folder and an unchecked box otherwise.
    FolderRequest handBack() const;

    QFrame* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtFolder = nullptr;
    QPushButton* CmdFolder = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QCheckBox* ChkSubdir = nullptr;
    QPushButton* CmdCancel = nullptr;
    QPushButton* CmdOK = nullptr;

public slots:
    void CmdFolder_Click();
    void CmdOK_Click();
    void CmdCancel_Click();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();

    Dialogs& m_dialogs;
};

} // namespace quillet
