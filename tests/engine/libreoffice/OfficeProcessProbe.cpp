#include "OfficeProcessProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <signal.h>
#include <thread>

namespace quillet::testing {

QList<qint64> liveProcessesInGroup(qint64 group)
{
    QList<qint64> members;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid pgrp ...": comm may hold spaces, so read after the last ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 3)
            continue;
        if (fields[0] != "Z" && fields[2].toLongLong() == group)
            members.append(pid);
    }
    return members;
}

namespace {

template <class Done> bool waitFor(Done done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

} // namespace

bool waitUntilGroupGone(qint64 group, std::chrono::milliseconds timeout)
{
    return waitFor([group] { return liveProcessesInGroup(group).isEmpty(); }, timeout);
}

bool waitUntilPathGone(const QString& path, std::chrono::milliseconds timeout)
{
    return waitFor([&path] { return !QFileInfo::exists(path); }, timeout);
}

qint64 groupResidentKb(qint64 group)
{
    qint64 total = 0;
    for (qint64 pid : liveProcessesInGroup(group)) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                total += line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return total;
}

void signalGroup(qint64 group, int signal)
{
    ::kill(-static_cast<pid_t>(group), signal);
}

} // namespace quillet::testing
