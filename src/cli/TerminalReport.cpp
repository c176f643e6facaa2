#include "cli/TerminalReport.h"

#include "jobs/ExceptionLog.h"

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quillet {

namespace {

// A bar redrawn more often than this only flickers.
constexpr qint64 redrawMs = 100;

int TerminalColumns()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// Columns the text takes on a terminal: East Asian characters take two.
int DisplayWidth(const QString& text)
{
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x2e80 && c.unicode() <= 0xffef ? 2 : 1;
    return width;
}

} // namespace

void WriteTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = EncodeForSystem(text);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

TerminalReport::TerminalReport(QStringList documents, const QString& workUnit, bool bar, bool lines,
                               std::function<bool()> stop)
    : m_documents(std::move(documents)), m_workUnit(workUnit), m_bar(bar), m_lines(lines),
      m_stop(std::move(stop))
{
    m_clock.start();
}

TerminalReport TerminalReport::forStandardStreams(QStringList documents, const QString& workUnit,
                                                  std::function<bool()> stop)
{
    return TerminalReport(std::move(documents), workUnit, isatty(STDERR_FILENO) == 1,
                          isatty(STDOUT_FILENO) != 1, std::move(stop));
}

QString TerminalReport::clockText(qint64 seconds)
{
    if (seconds < 0)
        return QStringLiteral("--:--");
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(two(seconds / 60 % 60), two(seconds % 60));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(two(seconds % 60));
}

void TerminalReport::start()
{
    const std::lock_guard lock(m_mutex);
    m_clock.restart();
    drawBar();
}

void TerminalReport::stepDone()
{
    const std::lock_guard lock(m_mutex);
    ++m_steps;
    if (m_clock.elapsed() - m_lastDraw >= redrawMs)
        drawBar();
}

void TerminalReport::documentEnded(int index, DocumentEnd end)
{
    const std::lock_guard lock(m_mutex);
    ++m_done;
    m_failed += end == DocumentEnd::Done ? 0 : 1;
    if (m_lines) {
        const QString state = end == DocumentEnd::Done     ? QStringLiteral("完成")
                              : end == DocumentEnd::Failed ? QStringLiteral("失败")
                                                           : QStringLiteral("未处理");
        // One line a document, its columns split by TABs: line breaks and TABs in a path are blanks.
        const QString path = OnOneLine(m_documents.at(index)).replace(QLatin1Char('\t'), QLatin1Char(' '));
        WriteTo(stdout,
                QStringLiteral("%1/%2\t%3\t%4\n").arg(m_done).arg(m_documents.size()).arg(state, path));
    }
    drawBar();
}

void TerminalReport::message(const QString& text)
{
    const std::lock_guard lock(m_mutex);
    // A bar still moving gives way to the message and comes back at the next step; a full one stays.
    if (m_barOnScreen)
        WriteTo(stderr, m_done == m_documents.size() ? QStringLiteral("\n") : QStringLiteral("\r\033[K"));
    m_barOnScreen = false;
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    WriteTo(stderr, QStringLiteral("quillet: ") + lines + QLatin1Char('\n'));
}

void TerminalReport::finish()
{
    const std::lock_guard lock(m_mutex);
    if (m_barOnScreen)
        WriteTo(stderr, QStringLiteral("\n"));
    m_barOnScreen = false;
}

QString TerminalReport::barLine(int columns) const
{
    // The time left from the documents' pace so far.
    const qsizetype documents = m_documents.size();
    const qint64 left = m_done > 0 ? m_clock.elapsed() * (documents - m_done) / m_done / 1000 : -1;
    QString counts =
        QStringLiteral(" %1/%2 文档  %3 %4").arg(m_done).arg(documents).arg(m_steps).arg(m_workUnit);
    if (m_failed > 0)
        counts += QStringLiteral("  失败 %1").arg(m_failed);
    counts += QStringLiteral("  剩余 ") + clockText(left);
    const int barWidth = std::min(40, columns - DisplayWidth(counts) - 3);
    if (barWidth < 10)
        return counts.trimmed();
    const int filled = documents > 0 ? int(barWidth * m_done / documents) : 0;
    return QLatin1Char('[') + QString(filled, QLatin1Char('#')) +
           QString(barWidth - filled, QLatin1Char('-')) + QLatin1Char(']') + counts;
}

void TerminalReport::drawBar()
{
    if (!m_bar)
        return;
    m_lastDraw = m_clock.elapsed();
    WriteTo(stderr, QStringLiteral("\r") + barLine(TerminalColumns()) + QStringLiteral("\033[K"));
    m_barOnScreen = true;
}

} // namespace quillet
