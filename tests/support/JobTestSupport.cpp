#include "support/JobTestSupport.h"

#include "jobs/ExceptionLog.h"

#include <QStringDecoder>

namespace quillet::testing {

QStringList LogLines(const QString& logFile)
{
    const QByteArray bytes = FileBytes(logFile);
    const QByteArray charset = SystemCharset();
    QStringDecoder decoder(charset.constData());
    const QString text =
        decoder.isValid() && charset != "ANSI_X3.4-1968" ? decoder.decode(bytes) : QString::fromUtf8(bytes);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace quillet::testing
