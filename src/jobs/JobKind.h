#pragma once

#include <QString>
#include <functional>

namespace quillet {

class JobLog;
class OfficeApplication;
class OptionsSource;

// One document's work inside a job (ConvertDocument, ExtractPictures). keepAlive runs after every
// page or object.
using DocumentWorker =
    std::function<void(OfficeApplication& app, const QString& path, const OptionsSource& options, JobLog& log,
                       const std::function<void()>& keepAlive)>;

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
