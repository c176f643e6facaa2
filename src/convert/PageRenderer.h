#pragma once

#include "jobs/DocumentPass.h"

#include <QString>
#include <functional>

namespace quillet {

class OfficeApplication;
class OptionsSource;
class PictureSaver;

// The extension of the page pictures written, unless the engine was set to another format.
inline const QString kPagePictureExtension = QStringLiteral(".emf");

// Saves every page of the chosen range of one document as "<output folder><base name>-<page>.emf"
// (or with the extension of the format the engine writes). The options are read afresh for every
// page. Whatever fails inside the document is skipped and ends in at most one log line (the last
// failure), written by the outcome; nothing is thrown to the caller. Pages still being written when
// the document is closed are saved by `saver`. afterEachPage, when given, runs after every page
// walked (the window uses it to stay painted).
PassOutcome ConvertDocument(OfficeApplication& app, const QString& path, const OptionsSource& options,
                            PictureSaver& saver, const std::function<void()>& afterEachPage = {},
                            const QString& extension = kPagePictureExtension);

} // namespace quillet
