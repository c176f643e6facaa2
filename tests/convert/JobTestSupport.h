#pragma once

// Small helpers shared by the job tests: output folders, log lines, files written.

#include "convert/ConversionOptions.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

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

} // namespace quillet::testing
