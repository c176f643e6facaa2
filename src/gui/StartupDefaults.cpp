#include "gui/StartupDefaults.h"

#include "engine/OfficeApplication.h"
#include "jobs/SkipOnFailure.h"

#include <QCoreApplication>
#include <cmath>
#include <limits>

namespace quillet {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

bool versionSupportsDocx(const QString& versionText)
{
    bool ok = false;
    const double version = versionText.trimmed().toDouble(&ok);
    // The major version is the integer part; it must fit the 16-bit number it is read into.
    if (!ok || !std::isfinite(version) || version >= std::numeric_limits<qint16>::max() + 1.0)
        return false;
    return std::floor(version) >= 12;
}

std::optional<bool> probeEngine(OfficeEngine& engine)
{
    // Each step is skipped when it fails; only a missing application ends the program.
    SkipOnFailure steps;
    std::unique_ptr<OfficeApplication> probe;
    steps.run([&] { probe = engine.CreateApplication(); });
    if (!probe)
        return std::nullopt;
    bool docx = false;
    steps.run([&] { docx = versionSupportsDocx(probe->Version()); });
    steps.run([&] { probe->Quit(); });
    return docx;
}

} // namespace quillet
