#include "jobs/JobLog.h"

#include "jobs/ConversionOptions.h"
#include "jobs/ExceptionLog.h"

namespace quillet {

JobLog::JobLog(const OptionsSource& options) : m_options(options) {}

void JobLog::record(const QString& documentPath, const QString& description)
{
    WriteLog(m_options.options().logPath, documentPath, description);
    ++m_records;
}

} // namespace quillet
