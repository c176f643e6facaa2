#include "cli/CliArguments.h"

namespace quillet {

namespace {

const QString HelpOption = QStringLiteral("--help");
const QString ShortHelpOption = QStringLiteral("-h");
const QString VersionOption = QStringLiteral("--version");

QString UnknownOption(const QString& option)
{
    return QStringLiteral("未知选项“%1”").arg(option);
}

} // namespace

bool IsCommandLineInvocation(const QStringList& arguments)
{
    return !arguments.isEmpty();
}

CliArguments ParseCliArguments(const QStringList& arguments)
{
    CliArguments result;
    QStringList words; // the command, the output folder, the paths
    bool optionsEnded = false;
    QString jobs = QStringLiteral("1");
    std::optional<QString> format, dpi;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool isOption =
            !optionsEnded && argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-");
        if (!isOption) {
            words << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == HelpOption || argument == ShortHelpOption)
            return CliArguments{};
        if (argument == VersionOption) {
            CliArguments version;
            version.action = CliArguments::Action::Version;
            return version;
        }
        if (argument == QLatin1String("--tree")) {
            result.tree = true;
            continue;
        }
        const int equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        static const QStringList valueOptions{QStringLiteral("--pages"),  QStringLiteral("--log"),
                                              QStringLiteral("--list"),   QStringLiteral("--jobs"),
                                              QStringLiteral("--format"), QStringLiteral("--dpi")};
        if (!valueOptions.contains(name)) {
            result.error = UnknownOption(argument);
            return result;
        }
        QString value;
        if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            result.error = QStringLiteral("选项“%1”缺少值").arg(name);
            return result;
        }
        if (name == QLatin1String("--pages"))
            result.pages = value;
        else if (name == QLatin1String("--log"))
            result.logFile = value;
        else if (name == QLatin1String("--list"))
            result.listFiles << value;
        else if (name == QLatin1String("--format"))
            format = value;
        else if (name == QLatin1String("--dpi"))
            dpi = value;
        else
            jobs = value;
    }

    const QString command = words.value(0);
    if (command == QLatin1String("convert")) {
        result.action = CliArguments::Action::Convert;
    } else if (command == QLatin1String("extract")) {
        result.action = CliArguments::Action::Extract;
    } else {
        result.error = words.isEmpty() ? QStringLiteral("缺少命令（convert 或 extract）")
                                       : QStringLiteral("未知命令“%1”").arg(command);
        return result;
    }
    const bool haveOutputFolder = words.size() > 1;
    result.outputFolder = words.value(1);
    result.paths = words.mid(2);

    bool jobsIsNumber = false;
    result.jobs = jobs.toInt(&jobsIsNumber);
    if (format)
        result.pageStyle.format = pdfpages::formatNamed(*format).value_or(pdfpages::PageFormat::Emf);
    bool dpiIsNumber = true;
    if (dpi)
        result.pageStyle.dpi = dpi->toInt(&dpiIsNumber);
    if (!haveOutputFolder)
        result.error = QStringLiteral("缺少输出目录");
    else if (result.paths.isEmpty() && result.listFiles.isEmpty())
        result.error = QStringLiteral("缺少要处理的文档或文件夹");
    else if (result.action == CliArguments::Action::Extract && result.pages)
        result.error = QStringLiteral("extract 命令没有 --pages 选项");
    else if (!jobsIsNumber || result.jobs < 1 || result.jobs > MaxJobs)
        result.error = QStringLiteral("--jobs 需要 1 到 %1 之间的整数，而不是“%2”").arg(MaxJobs).arg(jobs);
    else if (result.action == CliArguments::Action::Extract && (format || dpi))
        result.error =
            QStringLiteral("extract 命令没有 %1 选项").arg(QLatin1String(format ? "--format" : "--dpi"));
    else if (format && !pdfpages::formatNamed(*format))
        result.error = QStringLiteral("--format 需要 emf、svg、png 或 pdf，而不是“%1”").arg(*format);
    else if (dpi && result.pageStyle.format != pdfpages::PageFormat::Png)
        result.error = QStringLiteral("--dpi 只用于 --format png");
    else if (!dpiIsNumber || result.pageStyle.dpi < pdfpages::kMinDpi ||
             result.pageStyle.dpi > pdfpages::kMaxDpi)
        result.error = QStringLiteral("--dpi 需要 %1 到 %2 之间的整数，而不是“%3”")
                           .arg(pdfpages::kMinDpi)
                           .arg(pdfpages::kMaxDpi)
                           .arg(dpi.value_or(QString()));
    return result;
}

QString CliVersionText()
{
    return QStringLiteral("quillet %1\n").arg(QStringLiteral(QUILLET_VERSION));
}

QString CliUsageText()
{
    return QStringLiteral(
        "用法：\n"
        "  quillet                                  打开主窗口\n"
        "  quillet convert 输出目录 [选项] 路径...  每个文档的每一页存为“文件名-页码.emf”\n"
        "                                           （或 --format 选的 .svg、.png、.pdf）\n"
        "  quillet extract 输出目录 [选项] 路径...  每个文档的每个图形对象存为“文件名-序号.bmp”\n"
        "  quillet --help | --version\n");
}

QString CliHelpText()
{
    return CliUsageText() +
           QStringLiteral(
               "\n"
               "路径是一个文档，或一个文件夹：连同所有子文件夹搜索其中的 .doc 和 .docx 文件，\n"
               "与主窗口“添加目录”勾选“包括该目录子目录中的文档”时相同。其他路径都当作文档处理\n"
               "（.rtf 也可以），打不开的记为失败。无法读取的文件夹在标准错误上列出并计入汇总。\n"
               "有 --list 时可以不写路径。\n"
               "文档按给出的顺序处理（先是命令行上的路径，再是各个 --list 文件），同一路径只处理一次。\n"
               "同一任务中图片文件名相同的文档（如 x/报告.doc 和 y/报告.doc，或 a.doc 和 a.docx）\n"
               "只处理排在前面的一个，其余的记为失败，日志中写明与哪个文档同名；用 --tree 可以分开存放。\n"
               "\n"
               "选项：\n"
               "  --pages 起-止  只转换这些页，例如 --pages 2-5（只用于 convert）\n"
               "  --format 格式  页面图片的格式：emf（默认）、svg（文字为轮廓，没有安装字体也显示\n"
               "                 相同）、png（白色背景）或 pdf（文字仍是文字）；都由同一次导出的\n"
               "                 PDF 生成（只用于 convert）\n"
               "  --dpi N        PNG 图片的分辨率（默认 150，36 到 1200；只用于 --format png）\n"
               "  --log 文件     异常日志，每个失败或未处理的文档一行（默认：输出目录/Quillet.log）；\n"
               "                 无法写入时不开始处理\n"
               "  --list 文件    从文件读取路径，每行一个，UTF-8 编码，空行略过；“-”为标准输入；\n"
               "                 可多次使用。相对路径相对于当前目录\n"
               "  --jobs N       同时运行 N 个 LibreOffice，各自处理完一个文档后领取下一个\n"
               "                 （默认 1，最多 64）\n"
               "  --tree         文件夹中各子文件夹的文档，图片存入输出目录下同名的子文件夹\n"
               "                 （如 输出目录/x/报告-1.emf），而不是都存入输出目录\n"
               "  -h, --help     显示本帮助\n"
               "  --version      显示版本\n"
               "\n"
               "输出目录不存在时自动创建（其上级目录必须存在）。\n"
               "\n"
               "进度：标准错误是终端时显示进度条（已完成的文档数和页数、预计剩余时间）；\n"
               "标准输出不是终端时，每个文档输出一行：“序号/总数<Tab>完成、失败或未处理<Tab>路径”，\n"
               "路径中的换行符和 Tab 写作空格（与日志相同）。\n"
               "LibreOffice 无法再次启动时先重试一次；仍然失败，其余 LibreOffice 接着处理剩下的文档，\n"
               "没有剩下的 LibreOffice 时，每个剩下的文档在日志中记一行“没有处理”，并输出“未处理”。\n"
               "按 Ctrl-C 或收到 SIGTERM 后，当前一步完成即停止并关闭 LibreOffice，已写出的图片保留；\n"
               "再按一次 Ctrl-C 立即结束。\n"
               "\n"
               "退出状态：\n"
               "  0    每个文档都处理成功\n"
               "  1    有文档处理失败或未处理（每个在日志中有一行，标准错误上有汇总）\n"
               "  2    用法错误、输出目录无法创建或写入、日志文件无法写入、没有可处理的文档、\n"
               "       LibreOffice 根本无法启动\n"
               "  130  被 Ctrl-C（SIGINT）停止；143 被 SIGTERM 停止\n");
}

} // namespace quillet
