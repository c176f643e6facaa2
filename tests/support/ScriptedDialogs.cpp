#include "support/ScriptedDialogs.h"

namespace quillet::testing {

MessageAnswer ScriptedDialogs::message(const QString& text, MessageIcon icon, MessageButtons buttons)
{
    const ShownMessage shown{text, icon, buttons};
    messages << shown;
    if (onMessage)
        onMessage(shown);
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::OkCancel:
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

std::optional<QStringList> ScriptedDialogs::openFiles(const QString& title, const QString& filter)
{
    openFilesRequests << title + '|' + filter;
    return openFilesAnswers.isEmpty() ? std::optional<QStringList>(QStringList()) : openFilesAnswers.dequeue();
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& presetName, const QString& filter,
                                      const QString& initialFolder, bool mustExist)
{
    saveFileRequests << QStringList{title, presetName, filter, initialFolder, mustExist ? "1" : "0"}.join('|');
    return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
}

QString ScriptedDialogs::chooseFolder(const QString& caption, QObject* /*owner*/)
{
    folderRequests << caption;
    return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
}

QStringList ScriptedDialogs::messageTexts() const
{
    QStringList texts;
    for (const ShownMessage& m : messages)
        texts << m.text;
    return texts;
}

} // namespace quillet::testing
