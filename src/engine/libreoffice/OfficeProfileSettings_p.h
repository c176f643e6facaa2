#pragma once

// Settings a private office profile starts with, written before the office first starts.
//
// Documents come from other people: links to pictures elsewhere (a web address, another folder)
// are not followed. Fetching them would make a batch wait on the network for every such document
// and tell the picture's host who opened it; the page shows the picture's frame instead.

#include <QString>

namespace quillet::lo {

// Writes the settings into the profile folder (user/registrymodifications.xcu, and the build id
// in user/extensions/buildid) for the office in `programDir`. Returns false when a file cannot be
// written.
bool writeOfficeProfileSettings(const QString& profileDir, const QString& programDir);

} // namespace quillet::lo
