#pragma once

// clsGetPath: one folder browse. The caller makes an instance, sets Caption, calls GetFolder once
// and reads Folder. The dialog itself is the program's dialog layer, which also gives it its owner.

#include <QString>

class QObject;

namespace quillet {

class Dialogs;

class FolderBrowser
{
public:
    // Shown when Caption is empty.
    static inline const QString DefaultCaption = QStringLiteral("Select a Folder...");

    explicit FolderBrowser(Dialogs& dialogs);

    QString Caption;          // instruction shown with the folder tree
    QObject* Owner = nullptr; // the window the browser belongs to; none: the dialog layer's owner
    QString Folder;  // after GetFolder: the chosen folder, or empty when cancelled

    // Shows the folder dialog modally and sets Folder.
    void GetFolder();

private:
    Dialogs& m_dialogs;
};

} // namespace quillet
