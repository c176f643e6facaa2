#pragma once

// Values the start-up sequence works out before the window is shown.

#include <QString>
#include <optional>

namespace quillet {

class OfficeEngine;

// The program's own folder, where the default log and the picture converter live.
QString programFolder();

// Appended to the program's folder to form the default exception-log path.
inline const QString DefaultLogFileName = QStringLiteral("Quillet.log");

// The program's folder + separator + "Quillet.log" (plain concatenation, so a root folder gives a
// doubled separator). When the user cannot create files in that folder, as for a program installed
// in a system folder, log lines would be lost: the user's data folder is used instead (created).
QString defaultLogPath(const QString& programFolder, const QString& userDataFolder);

// Whether the user can create files in the folder (tried, not guessed from permission bits).
bool canCreateFilesIn(const QString& folder);

// Whether the engine's version text ("16.0") names a major version that opens .docx files
// (12 or more). Text that is not a number gives false.
bool versionSupportsDocx(const QString& versionText);

// The start-up probe: whether the engine can create an application at all (nullopt when not) and
// whether its version opens .docx files. The probe's application is quit before it returns.
std::optional<bool> probeEngine(OfficeEngine& engine);

} // namespace quillet
