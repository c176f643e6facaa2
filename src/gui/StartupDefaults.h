#pragma once

// Values the start-up sequence works out before the window is shown.

#include <QString>
#include <optional>

namespace quillet {

class OfficeEngine;

// The program's own folder, where the default log and the picture converter live.
QString programFolder();

// Whether the engine's version text ("16.0") names a major version that opens .docx files
// (12 or more). Text that is not a number gives false.
bool versionSupportsDocx(const QString& versionText);

// The start-up probe: whether the engine can create an application at all (nullopt when not) and
// whether its version opens .docx files. The probe's application is quit before it returns.
std::optional<bool> probeEngine(OfficeEngine& engine);

} // namespace quillet
