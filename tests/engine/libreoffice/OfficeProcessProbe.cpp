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
    QFile file("/proc/" + path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList numberedEntries(const QString& path)
{
    return QDir("/proc/" + path).entryList({"[0-9]*"}, QDir::Dirs);
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

} // namespace

QStringList officeLeftovers(const QString& name, std::chrono::milliseconds timeout)
{
    const QString needle =
        name.isEmpty() ? QString("quillet-lo-%1-").arg(QCoreApplication::applicationPid()) : name;
    const auto find = [&needle] {
        QStringList found;
        for (const QString& pid : numberedEntries(QString())) {
            QByteArray commandLine = procFile(pid + "/cmdline"); // empty for a zombie
            if (commandLine.contains(needle.toUtf8()))
                found << pid + ": " + QString::fromLocal8Bit(commandLine.replace('\0', ' '));
        }
        // The pipe's socket is in /tmp whatever the temporary folder is.
        for (const QString& folder : QSet<QString>{QDir::tempPath(), "/tmp"}) {
            for (const QString& file :
                 QDir(folder).entryList({'*' + needle + '*'}, QDir::AllEntries | QDir::System))
                found << QDir(folder).filePath(file);
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
        for (const QString& pid : numberedEntries(QString())) {
            for (const QString& task : numberedEntries(pid + "/task")) {
                // "pid (comm) state ppid pgrp ...", and comm may hold spaces.
                const QByteArray stat = procFile(pid + "/task/" + task + "/stat");
                const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
                if (fields.size() > 2 && fields[2].toLongLong() == group &&
                    !QByteArray("tTXZ").contains(fields[0]))
                    threads << task;
            }
        }
        return threads;
    };
    return waitUntilEmpty(running, timeout).isEmpty();
}

} // namespace quillet::testing
