#pragma once

// The program's dialog layer: every modal box and file or folder chooser goes through here, so
// that the windows and jobs can be driven by tests with scripted answers instead of real boxes.
// The Qt implementation lives with the widgets; a scripted one lives in tests/support.

#include <QString>
#include <QStringList>

#include <optional>

class QObject;

namespace quillet {

enum class MessageIcon { Information, Question };
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class Dialogs
{
public:
    virtual ~Dialogs();

    // A message box with the application title as caption.
    virtual MessageAnswer message(const QString& text, MessageIcon icon, MessageButtons buttons) = 0;

    // Multi-selection open dialog for existing files. filter uses Qt's syntax
    // ("Word文件 (*.doc *.docx)"). Returns the chosen full paths in the dialog's order, an empty
    // list when cancelled, or nullopt when the dialog itself failed.
    virtual std::optional<QStringList> openFiles(const QString& title, const QString& filter) = 0;

    // Save-mode file dialog. Returns the chosen name, or an empty text when cancelled.
    virtual QString saveFileName(const QString& title, const QString& presetName, const QString& filter,
                                 const QString& initialFolder, bool mustExist) = 0;

    // Folder browser, modal to owner (a window; none: the layer's own owner), starting in the
    // user's home folder every time. Returns the chosen folder's path (no trailing separator
    // except for the root), or an empty text when cancelled.
    virtual QString chooseFolder(const QString& caption, QObject* owner = nullptr) = 0;
};

} // namespace quillet
