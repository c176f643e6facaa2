#pragma once

// Small helpers shared by the job tests: output folders, log lines, files written.

#include "jobs/ConversionOptions.h"
#include "jobs/JobLog.h"
#include "support/FakeOffice.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace quillet::testing {

// Options that can be changed while a worker runs (the worker reads them afresh).
class MutableOptions : public OptionsSource
{
public:
    ConversionOptions current;
    ConversionOptions options() const override { return current; }
};

inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

inline QByteArray FileBytes(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The log's lines, decoded from the system's character set, without CR LF.
QStringList LogLines(const QString& logFile);

// A worker test: a temporary folder with an output folder and a log, a fake engine with one
// application, and the options and log the worker is given.
class WorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkdir("out");
        options.current.outputFolder = m_dir.filePath("out") + '/';
        options.current.logPath = m_dir.filePath("Quillet.log");
        app = office.CreateApplication();
    }

    QString outFile(const QString& name) const { return options.current.outputFolder + name; }
    QStringList outFiles() const { return FilesIn(options.current.outputFolder); }
    QStringList logLines() const { return LogLines(options.current.logPath); }

    QTemporaryDir m_dir;
    FakeOffice office;
    MutableOptions options;
    JobLog log{options};
    std::unique_ptr<OfficeApplication> app;
};

} // namespace quillet::testing
