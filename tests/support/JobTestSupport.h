#pragma once

// Small helpers shared by the job tests: options, files written, log lines, a worker's setting.

#include "jobs/ConversionOptions.h"
#include "jobs/ExceptionLog.h"
#include "jobs/JobLog.h"
#include "support/FakeOffice.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

// The log's lines, decoded from the system's character set (UTF-8 in an ASCII-only locale).
inline QStringList LogLines(const QString& logFile)
{
    QStringDecoder decoder(SystemCharset().constData());
    const QByteArray bytes = FileBytes(logFile);
    const bool utf8 = !decoder.isValid() || SystemCharset() == "ANSI_X3.4-1968";
    return (utf8 ? QString::fromUtf8(bytes) : QString(decoder.decode(bytes)))
        .split("\r\n", Qt::SkipEmptyParts);
}

// One worker's setting: a temporary folder with an output folder and a log, a fake engine with
// one application, and the options and log the worker is given.
struct WorkerSetting
{
    QTemporaryDir dir;
    FakeOffice office;
    MutableOptions options;
    JobLog log{options};
    std::unique_ptr<OfficeApplication> app = office.CreateApplication();

    WorkerSetting()
    {
        QDir(dir.path()).mkdir("out");
        options.current.outputFolder = dir.filePath("out/");
        options.current.logPath = dir.filePath("Quillet.log");
    }
    QString add(const QString& name, const FakeDocumentScript& script)
    {
        office.addDocument(dir.filePath(name), script);
        return dir.filePath(name);
    }
    // What the worker left for the document: exactly the files of these numbers, each with the
    // fake's picture of that page or shape, the document closed, and, when `failure` is given, one
    // log line naming the document with a description that starts with it.
    void expectOutcome(const QString& doc, const QList<int>& numbers, const QString& extension,
                       const QString& failure) const
    {
        QStringList files;
        for (int n : numbers) {
            files << QFileInfo(doc).completeBaseName() + '-' + QString::number(n) + extension;
            EXPECT_EQ(FileBytes(options.current.outputFolder + files.last()), FakePicture(doc, n));
        }
        EXPECT_EQ(FilesIn(options.current.outputFolder), files);
        EXPECT_EQ(office.openDocuments(), 0);
        const QStringList lines = LogLines(options.current.logPath);
        ASSERT_EQ(lines.size(), failure.isEmpty() ? 0 : 1);
        const QString said = "处理" + doc + "处错：" + failure;
        if (!failure.isEmpty())
            EXPECT_EQ(lines[0].section('\t', 1).left(said.size()), said);
    }
};

} // namespace quillet::testing
