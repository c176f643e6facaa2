#include "CorpusWorkspace.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <memory>
#include <stdexcept>
#include <vector>

namespace quillet::testing {

namespace {

std::runtime_error Failure(const QString& what)
{
    return std::runtime_error(what.toStdString());
}

// Runs a helper program to its end and returns its standard output.
QByteArray RunTool(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(30000))
        throw Failure(program + QStringLiteral(" did not start: ") + process.errorString());
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(10000);
        throw Failure(program + QStringLiteral(" did not finish in time"));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        throw Failure(program + QStringLiteral(" failed: ") +
                      QString::fromLocal8Bit(process.readAllStandardError()));
    }
    return process.readAllStandardOutput();
}

} // namespace

QString PdfTarget()
{
    // Blank pages the layout inserts (a section that must start on an odd page) are no pages of the
    // document: page browsing passes over them, and so does this export.
    return QStringLiteral(R"(pdf:writer_pdf_Export:{"IsSkipEmptyPages":{"type":"boolean","value":"true"}})");
}

CorpusWorkspace::CorpusWorkspace(const QString& corpusDir)
    : m_dir(std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quillet-corpus-XXXXXX")))
{
    if (!m_dir->isValid())
        throw Failure(QStringLiteral("no temporary folder: ") + m_dir->errorString());
    QElapsedTimer clock;
    clock.start();

    const QString docxDir = newFolder(QStringLiteral("docx"));
    QDirIterator it(corpusDir, {QStringLiteral("*.docx")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo source(it.next());
        const QString name = source.completeBaseName();
        if (m_names.contains(name))
            throw Failure(QStringLiteral("two corpus files are named ") + name);
        const QString copy = docxDir + QLatin1Char('/') + source.fileName();
        // The copies must be writable so the temporary folder can be removed again.
        if (!QFile::copy(source.filePath(), copy) ||
            !QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner))
            throw Failure(QStringLiteral("cannot copy ") + source.filePath());
        m_names << name;
    }
    if (m_names.isEmpty())
        throw Failure(QStringLiteral("no .docx files under ") + corpusDir);
    m_names.sort();

    // Two rounds of offices side by side: the copies and the .docx PDFs, then the copies' PDFs.
    const auto pdfRun = [&](const QString& format) {
        return SofficeRun{documents(format), PdfTarget(), newFolder(QStringLiteral("pdf-") + format),
                          m_dir->filePath(QStringLiteral("profile-pdf-") + format)};
    };
    ConvertWithSoffice({{documents(QStringLiteral("docx")), QStringLiteral("doc:MS Word 97"),
                         newFolder(QStringLiteral("doc")), m_dir->filePath(QStringLiteral("profile-doc"))},
                        {documents(QStringLiteral("docx")), QStringLiteral("rtf:Rich Text Format"),
                         newFolder(QStringLiteral("rtf")), m_dir->filePath(QStringLiteral("profile-rtf"))},
                        pdfRun(QStringLiteral("docx"))});
    ConvertWithSoffice({pdfRun(QStringLiteral("doc")), pdfRun(QStringLiteral("rtf"))});
    for (const QString& format : formats()) {
        const QString pdfDir = m_dir->filePath(QStringLiteral("pdf-") + format);
        for (const QString& name : std::as_const(m_names)) {
            const QString pdf = pdfDir + QLatin1Char('/') + name + QStringLiteral(".pdf");
            m_layouts.insert(format + QLatin1Char('/') + name, ReadPdf(pdf));
        }
    }
    m_preparationSeconds = clock.elapsed() / 1000.0;
}

CorpusWorkspace::~CorpusWorkspace() = default;

QString CorpusWorkspace::document(const QString& name, const QString& format) const
{
    return m_dir->filePath(format + QLatin1Char('/') + name + QLatin1Char('.') + format);
}

QStringList CorpusWorkspace::documents(const QString& format) const
{
    QStringList paths;
    for (const QString& name : m_names)
        paths << document(name, format);
    return paths;
}

const PdfLayout& CorpusWorkspace::layout(const QString& name, const QString& format) const
{
    const auto it = m_layouts.constFind(format + QLatin1Char('/') + name);
    if (it == m_layouts.cend())
        throw Failure(QStringLiteral("no layout of ") + name + QLatin1Char('.') + format);
    return *it;
}

QString CorpusWorkspace::newFolder(const QString& name) const
{
    const QString path = m_dir->filePath(name);
    if (!QDir().mkpath(path))
        throw Failure(QStringLiteral("cannot create ") + path);
    return path;
}

void ConvertWithSoffice(const QList<SofficeRun>& runs)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const SofficeRun& run : runs) {
        // A private profile: the test never shares or disturbs another office.
        QStringList arguments{QStringLiteral("--headless"),
                              QStringLiteral("--norestore"),
                              QStringLiteral("--nologo"),
                              QStringLiteral("--nolockcheck"),
                              QStringLiteral("-env:UserInstallation=") +
                                  QUrl::fromLocalFile(run.profileDir).toString(),
                              QStringLiteral("--convert-to"),
                              run.target,
                              QStringLiteral("--outdir"),
                              run.outDir};
        arguments << run.sources;
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QStringLiteral("soffice"), arguments);
        processes.push_back(std::move(process));
    }
    QString failure;
    for (std::size_t i = 0; i < processes.size(); ++i) {
        QProcess& process = *processes[i];
        if (!process.waitForFinished(900000)) {
            process.kill();
            process.waitForFinished(10000);
            failure += QStringLiteral("soffice did not finish %1 in time. ").arg(runs[i].target);
        } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            failure += QStringLiteral("soffice failed on %1: %2 ")
                           .arg(runs[i].target, QString::fromLocal8Bit(process.readAll()));
        }
    }
    if (!failure.isEmpty())
        throw Failure(failure);
    for (const SofficeRun& run : runs) {
        for (const QString& source : run.sources) {
            const QString made = run.outDir + QLatin1Char('/') + QFileInfo(source).completeBaseName() +
                                 QLatin1Char('.') + run.target.section(QLatin1Char(':'), 0, 0);
            if (!QFile::exists(made))
                throw Failure(QStringLiteral("soffice did not make ") + made);
        }
    }
}

PdfLayout ReadPdf(const QString& pdfPath)
{
    PdfLayout layout;
    const QString info = QString::fromUtf8(RunTool(QStringLiteral("pdfinfo"), {pdfPath}, 60000));
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(info);
    if (!pages.hasMatch())
        throw Failure(QStringLiteral("pdfinfo gave no page count for ") + pdfPath);
    layout.pages = pages.captured(1).toInt();
    // pdftotext ends every page with a form feed.
    const QString text = QString::fromUtf8(
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdfPath, QStringLiteral("-")}, 60000));
    layout.pageTexts = text.split(QLatin1Char('\f'));
    if (!layout.pageTexts.isEmpty() && layout.pageTexts.last().trimmed().isEmpty())
        layout.pageTexts.removeLast();
    while (layout.pageTexts.size() < layout.pages)
        layout.pageTexts << QString();
    return layout;
}

QStringList WordsOf(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("[\\p{L}\\p{N}]{2,}"));
    QStringList words;
    for (auto it = word.globalMatch(text); it.hasNext();)
        words << it.next().captured();
    return words;
}

QStringList WordsMissingFrom(const QString& pageText, const QStringList& emfTexts)
{
    QString joined = emfTexts.join(QString());
    joined.remove(QRegularExpression(QStringLiteral("\\s")));
    QStringList missing;
    for (const QString& word : WordsOf(pageText)) {
        if (!joined.contains(word))
            missing << word;
    }
    return missing;
}

} // namespace quillet::testing
