#include "LoTestOffice.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <stdexcept>

namespace quillet::testing {

WalkResult walkPages(OfficeDocument& doc, OfficeSelection& selection, OfficeBrowser& browser)
{
    doc.Select();
    WalkResult result{{selection.Start()}, selection.End()};
    selection.Collapse(CollapseStart);
    browser.setTarget(BrowseByPage);
    for (int guard = 0; guard < 10000; ++guard) {
        browser.Next();
        const CharPosition next = selection.End();
        if (next <= result.starts.back() || next >= result.documentEnd)
            break;
        result.starts.push_back(next);
    }
    return result;
}

void ConvertWithSoffice(const QList<SofficeRun>& runs)
{
    QTemporaryDir profiles;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const SofficeRun& run : runs) {
        const QUrl profile = QUrl::fromLocalFile(profiles.filePath(QString::number(processes.size())));
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessChannelMode(QProcess::MergedChannels);
        processes.back()->start(QStringLiteral("soffice"),
                                QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                            QStringLiteral("-env:UserInstallation=") + profile.toString(),
                                            QStringLiteral("--convert-to"), run.target,
                                            QStringLiteral("--outdir"), run.outDir}
                                    << run.sources);
    }
    for (const auto& process : processes) {
        if (!process->waitForFinished(900000)) {
            process->kill();
            process->waitForFinished();
        }
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
            throw std::runtime_error("soffice failed: " + process->readAll().toStdString());
    }
}

} // namespace quillet::testing
