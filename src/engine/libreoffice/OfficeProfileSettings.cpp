#include "engine/libreoffice/OfficeProfileSettings_p.h"

#include "engine/libreoffice/LoInstallation_p.h"

#include <QDir>
#include <QSaveFile>

namespace quillet::lo {

namespace {

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
           file.commit();
}

// "7.4.7.2" -> "7.4": the office compares major and minor only.
QByteArray majorMinor(const QString& version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    return parts.size() >= 2 ? (parts[0] + QLatin1Char('.') + parts[1]).toUtf8() : QByteArray();
}

} // namespace

bool writeOfficeProfileSettings(const QString& profileDir, const QString& programDir)
{
    const QString userDir = profileDir + QStringLiteral("/user");
    if (!QDir().mkpath(userDir))
        return false;
    // The office blocks links of documents outside its trusted locations; none are configured.
    static const char settings[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
        "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
        "<item oor:path=\"/org.openoffice.Office.Common/Security/Scripting\">"
        "<prop oor:name=\"BlockUntrustedRefererLinks\" oor:op=\"fuse\"><value>true</value></prop></item>\n"
        // Some import filters (.doc) fetch a linked picture whatever the block above: every web
        // request goes to a proxy on a closed local port and fails at once instead.
        "<item oor:path=\"/org.openoffice.Inet/Settings\">"
        "<prop oor:name=\"ooInetProxyType\" oor:op=\"fuse\"><value>1</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Inet/Settings\">"
        "<prop oor:name=\"ooInetNoProxy\" oor:op=\"fuse\"><value></value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Inet/Settings\">"
        "<prop oor:name=\"ooInetHTTPProxyName\" oor:op=\"fuse\"><value>127.0.0.1</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Inet/Settings\">"
        "<prop oor:name=\"ooInetHTTPProxyPort\" oor:op=\"fuse\"><value>9</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Inet/Settings\">"
        "<prop oor:name=\"ooInetHTTPSProxyName\" oor:op=\"fuse\"><value>127.0.0.1</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Inet/Settings\">"
        "<prop oor:name=\"ooInetHTTPSProxyPort\" oor:op=\"fuse\"><value>9</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Inet/Settings\">"
        "<prop oor:name=\"ooInetFTPProxyName\" oor:op=\"fuse\"><value>127.0.0.1</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Inet/Settings\">"
        "<prop oor:name=\"ooInetFTPProxyPort\" oor:op=\"fuse\"><value>9</value></prop></item>\n";
    QByteArray registry(settings);
    const QByteArray lastVersion = majorMinor(installedVersion(programDir));
    if (!lastVersion.isEmpty()) {
        registry += "<item oor:path=\"/org.openoffice.Setup/Product\">"
                    "<prop oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>" +
                    lastVersion + "</value></prop></item>\n";
    }
    registry += "</oor:items>\n";
    if (!writeWhole(userDir + QStringLiteral("/registrymodifications.xcu"), registry))
        return false;

    const QString buildId = installedBuildId(programDir);
    if (buildId.isEmpty())
        return true;
    const QString extensionsDir = userDir + QStringLiteral("/extensions");
    return QDir().mkpath(extensionsDir) &&
           writeWhole(extensionsDir + QStringLiteral("/buildid"), buildId.toUtf8());
}

} // namespace quillet::lo
