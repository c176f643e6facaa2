#include "jobs/ExceptionLog.h"

#include <QFile>
#include <QStringEncoder>
#include <langinfo.h>
#include <mutex>

namespace quillet {

namespace {

// The locale's long time format without its time-zone part: the time to the second.
QString TimeToTheSecondFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        withoutZone += c;
    }
    withoutZone = withoutZone.trimmed();
    if (!withoutZone.contains(QLatin1Char('s')))
        withoutZone = QStringLiteral("HH:mm:ss");
    return withoutZone;
}

} // namespace

QString OnOneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString ComposeLogLine(const QDateTime& when, const QLocale& locale, const QString& path,
                       const QString& description)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), TimeToTheSecondFormat(locale)) + QLatin1Char('\t') +
           QStringLiteral("处理") + OnOneLine(path) + QStringLiteral("处错：") + OnOneLine(description) +
           QLatin1String("\r\n");
}

QByteArray SystemCharset()
{
    return QByteArray(nl_langinfo(CODESET));
}

QByteArray EncodeForCharset(const QString& text, const QByteArray& charset)
{
    const QByteArray name = charset.toUpper();
    const bool plainAscii = name.isEmpty() || name == "ANSI_X3.4-1968" || name == "ASCII" ||
                            name == "US-ASCII" || name == "POSIX";
    if (!plainAscii) {
        QStringEncoder encoder(name.constData());
        if (encoder.isValid())
            return encoder.encode(text);
    }
    return text.toUtf8();
}

QByteArray EncodeForSystem(const QString& text)
{
    return EncodeForCharset(text, SystemCharset());
}

void WriteLog(const QString& logFile, const QString& path, const QString& description)
{
    try {
        const QByteArray line = EncodeForSystem(
            ComposeLogLine(QDateTime::currentDateTime(), QLocale::system(), path, description));
        // Offices working side by side share the file: one line at a time. Unbuffered, the line is one
        // appending write, so that other programs appending to the same file cannot split it either.
        static std::mutex oneLineAtATime;
        const std::lock_guard lock(oneLineAtATime);
        QFile file(logFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return;
        file.write(line);
        file.close();
    } catch (...) {
        // A log that cannot be written must not stop the job.
    }
}

} // namespace quillet
