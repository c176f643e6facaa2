#include "converter/PictureFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace quillet::tessora {

namespace {

// Names compared with their numbers as numbers ("page-2" before "page-10") and letters without
// case, whatever the system's collation offers.
bool naturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype iEnd = i, jEnd = j;
            while (iEnd < a.size() && a[iEnd].isDigit())
                ++iEnd;
            while (jEnd < b.size() && b[jEnd].isDigit())
                ++jEnd;
            const QString x = a.mid(i, iEnd - i).remove(QRegularExpression(QStringLiteral("^0+(?=.)")));
            const QString y = b.mid(j, jEnd - j).remove(QRegularExpression(QStringLiteral("^0+(?=.)")));
            if (x.size() != y.size())
                return x.size() < y.size();
            if (x != y)
                return x < y;
            i = iEnd;
            j = jEnd;
            continue;
        }
        const QChar x = a[i].toCaseFolded(), y = b[j].toCaseFolded();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

} // namespace

QString suffixOf(OutputFormat format)
{
    return format == OutputFormat::Png ? QStringLiteral("png") : QStringLiteral("jpg");
}

QStringList listPictures(const QString& folder)
{
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.emf"), QStringLiteral("*.bmp")});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::Readable);
    QStringList paths;
    const QFileInfoList entries = dir.entryInfoList(); // name filters ignore case by default
    for (const QFileInfo& entry : entries)
        paths << entry.absoluteFilePath();
    std::sort(paths.begin(), paths.end(), naturalLess);
    return paths;
}

QString outputPathFor(const QString& source, OutputFormat format, const QStringList& folderPictures)
{
    const QFileInfo info(source);
    const QString base = info.completeBaseName();
    bool shared = false;
    for (const QString& other : folderPictures) {
        const QFileInfo otherInfo(other);
        if (otherInfo.fileName() != info.fileName() && otherInfo.absolutePath() == info.absolutePath() &&
            otherInfo.completeBaseName().compare(base, Qt::CaseInsensitive) == 0)
            shared = true;
    }
    const QString name = (shared ? info.fileName() : base) + QLatin1Char('.') + suffixOf(format);
    return info.dir().filePath(name);
}

} // namespace quillet::tessora
