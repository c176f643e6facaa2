#pragma once

// What can be learnt about the installed LibreOffice from its files, without starting it.

#include <QString>

namespace quillet::lo {

// The program folder holds the office starter and the UNO bootstrap file.
bool isInstalled(const QString& programDir);

// LibreOffice's own version ("7.4.7.2"), read from the installed configuration; empty when unknown.
QString installedVersion(const QString& programDir);

// The build id the office stamps on a profile it has set up ("40(Build:2)"); empty when unknown.
QString installedBuildId(const QString& programDir);

} // namespace quillet::lo
