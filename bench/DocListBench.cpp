// Filling the document list: the hashed duplicate test against the plain scan of every entry
// per added path, both measured in this run on the same paths; then a real folder tree.

#include "doclist/DocumentList.h"
#include "doclist/FolderScan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>

using namespace quillet;

namespace {

// Paths shaped like a real document tree: long shared prefixes, similar lengths.
QStringList treePaths(int n)
{
    QStringList paths;
    paths.reserve(n);
    for (int i = 0; i < n; ++i)
        paths << QStringLiteral("/home/user/文档/项目%1/第%2批/报告-%3.doc")
                     .arg(i / 4096)
                     .arg(i / 256 % 16)
                     .arg(i);
    return paths;
}

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

double addIndexed(const QStringList& paths, const QStringList** result, DocumentList& list)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : paths)
        list.AddToList(path);
    const double s = seconds(timer);
    *result = &list.entries();
    return s;
}

// The add-unless-present step as a scan of the whole list from the top for every path.
double addLinear(const QStringList& paths, QStringList& entries)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : paths) {
        bool found = false;
        for (qsizetype i = 0; i < entries.size() && !found; ++i)
            found = entries.at(i) == path;
        if (!found)
            entries.append(path);
    }
    return seconds(timer);
}

struct Result
{
    double indexed;
    double linear;
};

Result compare(int n)
{
    const QStringList paths = treePaths(n);
    DocumentList list;
    const QStringList* indexedEntries = nullptr;
    QStringList linearEntries;
    const Result r{addIndexed(paths, &indexedEntries, list), addLinear(paths, linearEntries)};
    if (*indexedEntries != linearEntries || linearEntries.size() != n) {
        std::fprintf(stderr, "the two lists differ for n=%d\n", n);
        std::exit(1);
    }
    std::printf("n=%d: indexed %.4f s, linear %.4f s (%.0fx)\n", n, r.indexed, r.linear,
                r.linear / (r.indexed > 0 ? r.indexed : 1e-9));
    std::fflush(stdout);
    return r;
}

// ScanFolder over a real tree of n documents (listing included), into an empty list.
void scanTree(int n)
{
    QTemporaryDir dir;
    for (int i = 0; i < n; ++i) {
        const QString folder = dir.path() + QStringLiteral("/d%1/s%2").arg(i / 4096).arg(i / 256 % 16);
        if (i % 256 == 0)
            QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/报告-%1.doc").arg(i));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
    }
    DocumentList list;
    QElapsedTimer timer;
    timer.start();
    ScanFolder(list, dir.path(), false);
    const double s = seconds(timer);
    std::printf("ScanFolder over a tree of %d documents: %.4f s, %lld entries\n", n, s,
                qlonglong(list.count()));
}

} // namespace

int main()
{
    std::printf("Adding distinct paths one by one through the add-unless-present step.\n");
    compare(100000);
    scanTree(32767);
    const Result r = compare(32767);
    std::printf("n=32767 indexed_s=%.4f linear_s=%.4f\n", r.indexed, r.linear);
    return 0;
}
