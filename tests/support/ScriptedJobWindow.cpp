#include "support/ScriptedJobWindow.h"

namespace quillet::testing {

QString ControlName(JobControl control)
{
    switch (control) {
    case JobControl::CmdDo:
        return QStringLiteral("CmdDo");
    case JobControl::CmdPicExtract:
        return QStringLiteral("CmdPicExtract");
    case JobControl::txtOutDir:
        return QStringLiteral("txtOutDir");
    case JobControl::txtLog:
        return QStringLiteral("txtLog");
    }
    return QString();
}

ScriptedJobWindow::ScriptedJobWindow()
{
    for (JobControl c :
         {JobControl::CmdDo, JobControl::CmdPicExtract, JobControl::txtOutDir, JobControl::txtLog})
        enabled[c] = true;
    scriptedDialogs.onMessage = [this](const ShownMessage& shown) {
        events << QStringLiteral("message ") + shown.text;
    };
}

QStringList ScriptedJobWindow::eventsStartingWith(const QString& prefix) const
{
    QStringList found;
    for (const QString& e : events) {
        if (e.startsWith(prefix))
            found << e;
    }
    return found;
}

bool ScriptedJobWindow::anyControlLocked() const
{
    for (bool on : enabled) {
        if (!on)
            return true;
    }
    return busy;
}

QString ScriptedJobWindow::documentPath(int index) const
{
    if (onDocumentPath)
        onDocumentPath(index);
    return documents.at(index);
}

void ScriptedJobWindow::setOutputFolderText(const QString& text)
{
    current.outputFolder = text;
    events << QStringLiteral("outDir ") + text;
}

void ScriptedJobWindow::selectAllPages()
{
    current.allPages = true;
    current.pageRange = false;
    pageBoxesEnabled = false;
    events << QStringLiteral("selectAllPages");
}

void ScriptedJobWindow::setJobControlEnabled(JobControl control, bool on)
{
    enabled[control] = on;
    events << (on ? QStringLiteral("enable ") : QStringLiteral("disable ")) + ControlName(control);
}

void ScriptedJobWindow::setBusy(bool on)
{
    busy = on;
    events << (on ? QStringLiteral("busy on") : QStringLiteral("busy off"));
}

void ScriptedJobWindow::showProgress(const QString& text)
{
    progressText = text;
    events << QStringLiteral("progress ") + text;
}

} // namespace quillet::testing
