#pragma once

// clsGetPath: one folder browse. The caller makes an instance, sets Caption, Flags and hwnd,
// calls GetFolder once and reads Folder. The dialog itself is the program's dialog layer.

#include <QString>
#include <QtGlobal>

namespace quillet {

class Dialogs;

class FolderBrowser
{
public:
    // Shown when Caption is empty.
    static inline const QString DefaultCaption = QStringLiteral("Select a Folder...");

    explicit FolderBrowser(Dialogs& dialogs);

    QString Caption;   // instruction shown with the folder tree
    qint16 Flags = 0;  // browse options; the Qt folder dialog has none to pass, kept for callers
    quintptr hwnd = 0; // owner window; the dialog layer parents its dialogs to the main window
    QString Folder;    // after GetFolder: the chosen folder, or empty when cancelled

    // Shows the folder dialog modally and sets Folder.
    void GetFolder();

private:
    Dialogs& m_dialogs;
};

} // namespace quillet
