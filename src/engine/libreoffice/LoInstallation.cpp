#include "engine/libreoffice/LoInstallation_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace quillet::lo {

bool isInstalled(const QString& programDir)
{
    const QDir dir(programDir);
    return QFileInfo(dir.filePath(QStringLiteral("soffice"))).isExecutable() &&
           QFileInfo::exists(dir.filePath(QStringLiteral("fundamentalrc"))) &&
           QFileInfo::exists(dir.filePath(QStringLiteral("types.rdb")));
}

QString installedVersion(const QString& programDir)
{
    // The about box's version is a default of the Setup configuration, shipped in main.xcd.
    QFile registry(QDir(programDir).filePath(QStringLiteral("../share/registry/main.xcd")));
    if (registry.open(QIODevice::ReadOnly)) {
        static const QRegularExpression aboutBox(
            QStringLiteral(R"(oor:name="ooSetupVersionAboutBox">\s*<value>([0-9.]+)</value>)"));
        const QRegularExpressionMatch match = aboutBox.match(QString::fromUtf8(registry.readAll()));
        if (match.hasMatch())
            return match.captured(1);
    }
    // Older layouts: "ProductKey=LibreOffice 7.4".
    QSettings bootstrap(QDir(programDir).filePath(QStringLiteral("bootstraprc")), QSettings::IniFormat);
    const QString productKey = bootstrap.value(QStringLiteral("Bootstrap/ProductKey")).toString();
    static const QRegularExpression number(QStringLiteral(R"(([0-9]+(\.[0-9]+)+))"));
    const QRegularExpressionMatch match = number.match(productKey);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString installedBuildId(const QString& programDir)
{
    QFile versionFile(QDir(programDir).filePath(QStringLiteral("versionrc")));
    if (!versionFile.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!versionFile.atEnd()) {
        const QString line = QString::fromUtf8(versionFile.readLine()).trimmed();
        // A value with a macro in it is expanded by the office; we cannot know its result.
        if (line.startsWith(QStringLiteral("buildid=")))
            return line.contains(QLatin1Char('$')) ? QString() : line.mid(8);
    }
    return {};
}

} // namespace quillet::lo
