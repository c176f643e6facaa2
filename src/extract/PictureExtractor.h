#pragma once

#include "jobs/DocumentPass.h"

#include <QString>
#include <functional>

namespace quillet {

class OfficeApplication;
class OptionsSource;
class PictureSaver;

// The extension of the object pictures written.
inline const QString kObjectPictureExtension = QStringLiteral(".bmp");

// Saves every drawing object of one document as "<output folder><base name>-<n>.bmp": floating
// objects first, then in-line ones, numbered from 1; an object that gives no picture keeps its
// number and leaves a gap. Whatever fails is skipped and ends in at most one log line (the last
// failure), written by the outcome; nothing is thrown to the caller. afterEachShape, when given,
// runs after every object.
PassOutcome ExtractPictures(OfficeApplication& app, const QString& path, const OptionsSource& options,
                            PictureSaver& saver, const std::function<void()>& afterEachShape = {});

} // namespace quillet
