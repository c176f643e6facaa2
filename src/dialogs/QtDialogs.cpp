#include "dialogs/QtDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace quillet {

namespace {
const QString Caption = QStringLiteral("Quillet");
} // namespace

QtDialogs::QtDialogs(QWidget* owner) : m_owner(owner) {}

void QtDialogs::setOwner(QWidget* owner)
{
    m_owner = owner;
}

MessageAnswer QtDialogs::message(const QString& text, MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::Information, Caption,
                    text, QMessageBox::NoButton, m_owner);
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return buttons == MessageButtons::YesNo ? MessageAnswer::No
               : buttons == MessageButtons::Ok  ? MessageAnswer::Ok
                                                : MessageAnswer::Cancel;
    }
}

std::optional<QStringList> QtDialogs::openFiles(const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileNames(m_owner, title, QString(), filter);
}

QString QtDialogs::saveFileName(const QString& title, const QString& presetName, const QString& filter,
                                const QString& initialFolder, bool mustExist)
{
    QFileDialog dialog(m_owner, title, initialFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(presetName);
    // An existing file is appended to, never replaced: no overwrite question for it.
    if (mustExist)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
        if (!mustExist || QFileInfo(chosen).isFile())
            return chosen;
        QMessageBox::warning(&dialog, title, QStringLiteral("%1\n文件不存在。").arg(chosen));
        dialog.selectFile(QFileInfo(chosen).fileName());
    }
}

QString QtDialogs::chooseFolder(const QString& caption, QObject* owner)
{
    auto* parent = qobject_cast<QWidget*>(owner);
    // Never where an earlier browse left off: the tree starts at the top of the user's files.
    const QString folder =
        QFileDialog::getExistingDirectory(parent ? parent : m_owner.data(), caption, QDir::homePath());
    return folder.isEmpty() ? QString() : QDir::toNativeSeparators(folder);
}

} // namespace quillet
