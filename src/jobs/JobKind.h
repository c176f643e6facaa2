#pragma once

#include "jobs/DocumentPass.h"

#include <QString>
#include <functional>

namespace quillet {

class OfficeApplication;
class OptionsSource;
class PictureSaver;

// One document's work inside a job (ConvertDocument, ExtractPictures). keepAlive runs after every
// page or object.
using DocumentWorker =
    std::function<PassOutcome(OfficeApplication& app, const QString& path, const OptionsSource& options,
                              PictureSaver& saver, const std::function<void()>& keepAlive)>;

// Where the two batch jobs differ.
struct JobKind
{
    enum class PageRangeStep
    {
        Validate,
        SelectAllPages
    };
    PageRangeStep pageRangeStep;
    DocumentWorker worker;
    // The extension of the pictures the worker writes (".emf"): two documents of one job whose
    // pictures would take the same names are told apart by it.
    QString pictureExtension;
    QString completionMessage;
};

} // namespace quillet
