#pragma once

// Where the exception log may go: one rule for the window's default and the command line's checks.

#include <QString>

namespace quillet {

// The log's file name in the folder that holds it by default.
inline const QString kLogFileName = QStringLiteral("Quillet.log");

// Whether the user can create files in the folder (tried, not guessed from permission bits).
bool canCreateFilesIn(const QString& folder);

// Whether lines can be appended to the file: it exists and is writable, or it can be created.
bool canWriteFile(const QString& path);

// The program's folder + separator + "Quillet.log" (plain concatenation, so a root folder gives a
// doubled separator). When that file cannot be written, as for a program installed in a system
// folder, log lines would be lost: the user's data folder is used instead (created).
QString defaultLogPath(const QString& programFolder, const QString& userDataFolder);

} // namespace quillet
