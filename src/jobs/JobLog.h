#pragma once

#include <QString>

namespace quillet {

class OptionsSource;

// The workers' side of the exception log during one job: writes a document's failure to the
// log file the options name at that moment, and remembers that the job logged something.
class JobLog
{
public:
    explicit JobLog(const OptionsSource& options);

    void record(const QString& documentPath, const QString& description);

    // True after any record, whether or not the line reached the file.
    bool errorLogged() const { return m_records > 0; }

private:
    const OptionsSource& m_options;
    int m_records = 0;
};

} // namespace quillet
