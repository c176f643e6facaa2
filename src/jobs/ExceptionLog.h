#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quillet {

// The exception log: one line per failed document, appended to a plain text file in the
// system's character set. The file is opened and closed within each call, so the user can
// read, copy or delete it at any time between two lines.

// Appends "<date> <time>\t处理<path>处错：<description>\r\n" to logFile, creating the file when
// it does not exist. Never fails: a line that cannot be written is lost without a word, so that
// a broken log never stops a job. Calls from several threads write one whole line at a time.
void WriteLog(const QString& logFile, const QString& path, const QString& description);

// The text with each line break (CR LF, CR or LF) made a blank, so that a path or description
// holding one cannot split the line it stands in.
QString OnOneLine(QString text);

// The line WriteLog writes, CR LF included: the locale's short date, a blank, the time to the second.
QString ComposeLogLine(const QDateTime& when, const QLocale& locale, const QString& path,
                       const QString& description);

// The text in the system's character set (the locale's; an ASCII-only C locale counts as UTF-8,
// as it does for Qt's own file names). Every byte the log holds goes through here.
QByteArray EncodeForSystem(const QString& text);
// The same conversion with a named character set ("UTF-8", "GB18030", "GBK"...).
QByteArray EncodeForCharset(const QString& text, const QByteArray& charset);
// The locale's character set name, as the C library reports it.
QByteArray SystemCharset();

} // namespace quillet
