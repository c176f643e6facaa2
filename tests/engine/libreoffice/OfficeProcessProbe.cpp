#include "OfficeProcessProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <signal.h>
#include <thread>

namespace quillet::testing {

namespace {

QByteArray procFile(const QString& path)
{
    QFile file(QStringLiteral("/proc/") + path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList numberedEntries(const QString& path)
{
    return QDir(QStringLiteral("/proc/") + path).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
}

// The state letter, then ppid, pgrp...: what follows "pid (comm) " in a stat file (comm may hold spaces).
QList<QByteArray> statFields(const QString& path)
{
    const QByteArray stat = procFile(path);
    return stat.mid(stat.lastIndexOf(')') + 2).split(' ');
}

// Polls `find` until it finds nothing or the deadline passes; returns what it found last.
template <class Find> auto waitUntilEmpty(Find find, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto found = find();
    for (; !found.isEmpty() && std::chrono::steady_clock::now() < deadline; found = find())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return found;
}

// Live (not zombie) processes whose process group is `group`.
QList<qint64> liveProcessesInGroup(qint64 group)
{
    QList<qint64> members;
    for (const QString& pid : numberedEntries(QString())) {
        const QList<QByteArray> fields = statFields(pid + QStringLiteral("/stat"));
        if (fields.size() > 2 && fields[0] != "Z" && fields[2].toLongLong() == group)
            members.append(pid.toLongLong());
    }
    return members;
}

} // namespace

bool waitUntilGroupGone(qint64 group, std::chrono::milliseconds timeout)
{
    return waitUntilEmpty([group] { return liveProcessesInGroup(group); }, timeout).isEmpty();
}

QStringList officeLeftovers(const QString& name, std::chrono::milliseconds timeout)
{
    const QString needle =
        name.isEmpty() ? QStringLiteral("quillet-lo-%1-").arg(QCoreApplication::applicationPid()) : name;
    const auto find = [&needle] {
        QStringList found;
        for (const QString& pid : numberedEntries(QString())) {
            QByteArray commandLine = procFile(pid + QStringLiteral("/cmdline")); // empty for a zombie
            if (commandLine.contains(needle.toUtf8()))
                found << pid + QStringLiteral(": ") + QString::fromLocal8Bit(commandLine.replace('\0', ' '));
        }
        // The pipe's socket is in /tmp whatever the temporary folder is.
        for (const QString& folder : QSet<QString>{QDir::tempPath(), QStringLiteral("/tmp")}) {
            const QDir dir(folder);
            for (const QString& file : dir.entryList({'*' + needle + '*'}, QDir::AllEntries | QDir::System))
                found << dir.filePath(file);
        }
        return found;
    };
    return waitUntilEmpty(find, timeout);
}

bool stopGroup(qint64 group, std::chrono::milliseconds timeout)
{
    ::kill(-static_cast<pid_t>(group), SIGSTOP);
    const auto running = [group] {
        QStringList threads;
        for (qint64 pid : liveProcessesInGroup(group)) {
            for (const QString& task : numberedEntries(QStringLiteral("%1/task").arg(pid))) {
                if (!QByteArray("tTXZ").contains(
                        statFields(QStringLiteral("%1/task/%2/stat").arg(pid).arg(task)).value(0)))
                    threads << task;
            }
        }
        return threads;
    };
    return waitUntilEmpty(running, timeout).isEmpty();
}

} // namespace quillet::testing
