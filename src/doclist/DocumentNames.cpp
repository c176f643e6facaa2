#include "doclist/DocumentNames.h"

namespace quillet {

QString GetFileSuffix(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.mid(dot);
}

bool isSearchedDocument(const QString& fileName, bool docxSupported)
{
    const QString suffix = GetFileSuffix(fileName);
    if (suffix.compare(QLatin1String(".doc"), Qt::CaseInsensitive) == 0)
        return true;
    return docxSupported && suffix.compare(QLatin1String(".docx"), Qt::CaseInsensitive) == 0;
}

bool isDroppableDocument(const QString& path)
{
    const QString tail = path.right(4).toUpper();
    return tail == QLatin1String(".DOC") || tail == QLatin1String(".RTF");
}

QString pendingCountText(qsizetype count)
{
    return QStringLiteral("待处理文件") + QString::number(count) + QStringLiteral("项");
}

QString addFilesFilter(bool docxSupported)
{
    return docxSupported ? QStringLiteral("Word文件 (*.doc *.docx)") : QStringLiteral("Word文件 (*.doc)");
}

} // namespace quillet
