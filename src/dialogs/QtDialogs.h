#pragma once

// The dialog layer on Qt: QMessageBox with the program's caption, QFileDialog for the choosers.

#include "platform/Dialogs.h"

#include <QPointer>
#include <QWidget>

namespace quillet {

class QtDialogs : public Dialogs
{
public:
    // Dialogs are modal to the owner window (the main window once it exists).
    explicit QtDialogs(QWidget* owner = nullptr);
    void setOwner(QWidget* owner);

    MessageAnswer message(const QString& text, MessageIcon icon, MessageButtons buttons) override;
    std::optional<QStringList> openFiles(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& presetName, const QString& filter,
                         const QString& initialFolder, bool mustExist) override;
    QString chooseFolder(const QString& caption, QObject* owner = nullptr) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace quillet
