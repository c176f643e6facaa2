#include "jobs/JobText.h"

namespace quillet {

namespace JobText {
QString NoDocuments()
{
    return QStringLiteral("没有需要处理的文档！");
}
QString NoOutputFolder()
{
    return QStringLiteral("请输入图片保存目录！");
}
QString NoLogFile()
{
    return QStringLiteral("请输入日志文件名！");
}
QString BadPageRange()
{
    return QStringLiteral("请输入正确的页码范围（数字）！");
}
QString Progress(int documentNumber)
{
    return QStringLiteral("正在处理第") + QString::number(documentNumber) + QStringLiteral("个文件");
}
QString Finished()
{
    return QStringLiteral("处理完毕！");
}
QString LogQuestion()
{
    return QStringLiteral("日志文件记录了处理过程中发生的异常，") + QLatin1String("\r\n") +
           QStringLiteral("是否查看日志文件？");
}
QString FolderNotCreated(const QString& folder)
{
    return QStringLiteral("无法创建图片保存目录“%1”，请检查上级目录是否存在以及是否有写入权限。").arg(folder);
}
QString EngineNotStarted(const QString& reason)
{
    return QStringLiteral("无法启动文档处理引擎（LibreOffice），任务未执行。\r\n%1").arg(reason);
}
QString EngineLost(int done, int failed, int notAttempted, const QString& reason)
{
    return QStringLiteral("文档处理引擎（LibreOffice）无法再次启动，任务提前结束：%1个文档已完成，%2个失败，%"
                          "3个未处理。\r\n%4")
        .arg(done)
        .arg(failed)
        .arg(notAttempted)
        .arg(reason);
}
QString NotAttempted(const QString& reason)
{
    return QStringLiteral("没有处理：文档处理引擎（LibreOffice）无法再次启动（%1）").arg(reason);
}
QString SameNames(const QString& earlierDocument, const QString& names)
{
    return QStringLiteral("没有处理：同一任务中的“%1”已使用相同的图片文件名（%2），处理会覆盖它的图片")
        .arg(earlierDocument, names);
}
QString JobAborted(const QString& reason)
{
    return QStringLiteral("处理过程意外中断。\r\n%1").arg(reason);
}
QString ViewerNotStarted(const QString& logFile, const QString& reason)
{
    return QStringLiteral("无法打开日志文件“%1”：%2").arg(logFile, reason);
}
} // namespace JobText

} // namespace quillet
