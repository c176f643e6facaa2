#pragma once

// The dialog layer for tests: records every box shown and answers from a script.

#include "platform/Dialogs.h"

#include <QQueue>
#include <QStringList>
#include <functional>

namespace quillet::testing {

struct ShownMessage
{
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
};

class ScriptedDialogs : public Dialogs
{
public:
    // Answers, taken in order; when a queue is empty the dialog is "cancelled"
    // (Cancel or No for a message box, empty text or an empty list for choosers).
    QQueue<MessageAnswer> messageAnswers;
    QQueue<std::optional<QStringList>> openFilesAnswers;
    QQueue<QString> saveFileAnswers, folderAnswers;
    // Runs while a message box is "shown", to look at the window in that moment.
    std::function<void(const ShownMessage&)> onMessage = [](const ShownMessage&) {};

    // What was shown, in order.
    QList<ShownMessage> messages;
    QStringList openFilesRequests; // "title|filter"
    QStringList saveFileRequests;  // "title|preset|filter|folder|mustExist"
    QStringList folderRequests;    // captions

    MessageAnswer message(const QString& text, MessageIcon icon, MessageButtons buttons) override
    {
        onMessage(messages.emplace_back(ShownMessage{text, icon, buttons}));
        if (!messageAnswers.isEmpty())
            return messageAnswers.dequeue();
        return buttons == MessageButtons::YesNo ? MessageAnswer::No
               : buttons == MessageButtons::Ok  ? MessageAnswer::Ok
                                                : MessageAnswer::Cancel;
    }
    std::optional<QStringList> openFiles(const QString& title, const QString& filter) override
    {
        openFilesRequests << title + '|' + filter;
        return openFilesAnswers.isEmpty() ? QStringList() : openFilesAnswers.dequeue();
    }
    QString saveFileName(const QString& title, const QString& presetName, const QString& filter,
                         const QString& initialFolder, bool mustExist) override
    {
        saveFileRequests
            << QStringList{title, presetName, filter, initialFolder, QString::number(mustExist)}.join('|');
        return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
    }
    QString chooseFolder(const QString& caption, QObject* = nullptr) override
    {
        folderRequests << caption;
        return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
    }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const ShownMessage& shown : messages)
            texts << shown.text;
        return texts;
    }
};

} // namespace quillet::testing
