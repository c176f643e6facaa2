// Both batch jobs on a real, private LibreOffice, on documents the tests build themselves.

#include "RealJob.h"
#include "TestDocuments.h"
#include "jobs/JobText.h"
#include "support/PictureChecks.h"

#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

using RealEngineJob = RealOfficeTest<::testing::TestWithParam<const char*>>;
using RealEngineJobs = RealOfficeTest<>;

// Every page its own vector picture showing that page's text only, with an office started without
// the user's PATH; every drawing object its own BMP; the document left as it was, and nothing
// written beside it while it is open or after.
TEST_P(RealEngineJob, ConvertsEveryPageAndExtractsEveryObjectLeavingTheDocumentAsItWas)
{
    TestDocumentSpec spec;
    spec.pages = 5;
    spec.pictures = true;
    const QString doc = m_dir.filePath(QString("doc/five.") + GetParam());
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath("doc")) && QFile::copy(testDocument(spec, GetParam()), doc));
    const QByteArray before = FileBytes(doc);
    const auto beside = [&] {
        return QDir(m_dir.filePath("doc")).entryList(QDir::AllEntries | QDir::Hidden);
    };
    const QStringList entries = beside();
    RealJob conversion(m_dir.filePath("convert"));
    RealJob extraction(m_dir.filePath("extract"));
    for (RealJob* job : {&conversion, &extraction}) {
        job->documents << doc;
        job->onKeepAlive = [&] { EXPECT_EQ(beside(), entries) << "no lock file beside an open document"; };
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    conversion.run(RunConversionJob);
    qputenv("PATH", path);
    extraction.run(RunExtractionJob);

    EXPECT_EQ(conversion.messages(), QStringList{"转换完毕！"});
    ASSERT_EQ(conversion.outputFiles(),
              (QStringList{"five-1.emf", "five-2.emf", "five-3.emf", "five-4.emf", "five-5.emf"}));
    for (int page = 1; page <= 5; ++page) {
        const QByteArray emf = FileBytes(conversion.output(QString("five-%1.emf").arg(page)));
        ASSERT_TRUE(IsWellFormedEmf(emf)) << "page " << page;
        const QString text = pdfemf::readEmf(emf).text();
        EXPECT_TRUE(text.contains(pageMarker(page)) && text.count("PAGE-MARKER") == 1) << text.toStdString();
    }
    EXPECT_EQ(extraction.messages(), QStringList{"图像提取完毕！"});
    ASSERT_EQ(extraction.outputFiles(), (QStringList{"five-1.bmp", "five-2.bmp", "five-3.bmp"}));
    QList<QImage> images;
    for (const QString& file : extraction.outputFiles()) {
        ASSERT_TRUE(IsWellFormedBmp(FileBytes(extraction.output(file)))) << file.toStdString();
        images << QImage::fromData(FileBytes(extraction.output(file)));
    }
    // The two floating objects come first, in the order the document keeps them; pictures keep their size.
    const int picture = IsColor(images[0], TestPictures::floatingColor) ? 0 : 1;
    EXPECT_TRUE(IsColor(images[picture], TestPictures::floatingColor));
    EXPECT_TRUE(IsColor(images[1 - picture], TestPictures::rectangleColor));
    EXPECT_TRUE(IsColor(images[2], TestPictures::inlineColor));
    for (const auto& [image, size] :
         {std::pair{images[picture], TestPictures::floatingSize}, {images[2], TestPictures::inlineSize}}) {
        EXPECT_NEAR(image.width(), size.width(), 1);
        EXPECT_NEAR(image.height(), size.height(), 1);
    }
    EXPECT_FALSE(QFile::exists(conversion.current.logPath) || QFile::exists(extraction.current.logPath));
    EXPECT_EQ(FileBytes(doc), before);
    EXPECT_EQ(beside(), entries);
}

INSTANTIATE_TEST_SUITE_P(Formats, RealEngineJob, ::testing::Values("docx", "doc", "rtf"));

// The office hung (killed at the deadline) or killed during the second document: that document's one
// line names the cause (not what the calls after it reported), no office is started inside that
// document, and the next ones are converted on a fresh one. When no fresh office can be started (its
// temporary folder would be under a file), the start is tried twice; the document in hand has the
// reason in its line and the last one is logged as not processed. No office is left.
TEST_F(RealEngineJobs, LostOfficeIsNamedInItsDocumentsLineAndTheJobGoesOn)
{
    TestDocumentSpec spec;
    spec.pages = 3;
    const QString all = "a-1.emf a-2.emf a-3.emf b-1.emf",
                  rest = " c-1.emf c-2.emf c-3.emf d-1.emf d-2.emf d-3.emf";
    const struct
    {
        const char* name;
        int signal;
        bool noFreshOffice;
        const char* cause;
        QString files;
    } cases[] = {{"hung office", SIGSTOP, false, "秒内没有完成操作", all + rest},
                 {"killed office", SIGKILL, false, "进程意外结束", all + rest},
                 {"no fresh office", SIGKILL, true, "进程意外结束", all}};
    const QByteArray tmp = qgetenv("TMPDIR");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = m_dir.filePath(c.name);
        lo::SessionSettings settings;
        settings.baseDeadline = std::chrono::seconds(c.signal == SIGSTOP ? 3 : 120);
        RealJob job(folder, settings);
        for (const char* name : {"a.docx", "b.docx", "c.docx", "d.docx"}) {
            job.documents << folder + '/' + name;
            ASSERT_TRUE(QFile::copy(testDocument(spec, "docx"), job.documents.last()));
        }
        QList<qint64> offices;
        QList<int> startsAfterTheLoss;
        job.onKeepAlive = [&] {
            const qint64 office = job.app->session().pid();
            if (office != 0 && !offices.contains(office))
                offices << office;
            if (job.progressText != "正在处理第2个文件")
                return;
            if (offices.size() == 1 && startsAfterTheLoss.isEmpty()) {
                if (c.noFreshOffice)
                    qputenv("TMPDIR", job.documents[0].toUtf8());
                EXPECT_TRUE(c.signal == SIGSTOP ? stopGroup(office) : ::kill(-office, SIGKILL) == 0);
            }
            startsAfterTheLoss << job.app->session().starts();
        };
        job.run(RunConversionJob);
        tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);

        const QStringList lines = job.logLines().replaceInStrings(QRegularExpression(".*\t处理"), "");
        ASSERT_EQ(lines.size(), c.noFreshOffice ? 3 : 1);
        EXPECT_TRUE(lines[0].startsWith(folder + "/b.docx处错：") && lines[0].contains(c.cause))
            << lines[0].toStdString();
        EXPECT_GT(startsAfterTheLoss.size(), 1);
        EXPECT_EQ(startsAfterTheLoss.count(1), startsAfterTheLoss.size())
            << "an office started inside b.docx";
        EXPECT_EQ(job.outputFiles().join(' '), c.files);
        EXPECT_EQ(offices.size(), c.noFreshOffice ? 1 : 2);
        if (c.noFreshOffice) {
            const QString reason = job.messages().value(0).section("\r\n", 1);
            EXPECT_TRUE(reason.contains("无法创建临时文件夹")) << reason.toStdString();
            EXPECT_EQ(job.messages().value(0), JobText::EngineLost(1, 2, 1, reason));
            EXPECT_EQ(lines.mid(1), QStringList({folder + "/c.docx处错：" + reason,
                                                 folder + "/d.docx处错：" + JobText::NotAttempted(reason)}));
        }
    }
}

// An office that cannot start (not installed, or not answering in the time given) ends the job once,
// with one message and no line per document.
TEST_F(RealEngineJobs, AFailedOfficeStartEndsTheJobOnce)
{
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "not answering" : "not installed");
        lo::SessionSettings settings;
        settings.programDir = installed ? settings.programDir : m_dir.path();
        settings.startDeadline = std::chrono::milliseconds(1);
        RealJob job(m_dir.filePath(installed ? "answer" : "install"), settings);
        job.documents << testDocument({}, "docx") << m_dir.filePath("other.docx");
        job.run(RunConversionJob);
        ASSERT_EQ(job.messages().size(), 1);
        EXPECT_TRUE(job.messages()[0].startsWith("无法启动文档处理引擎")) << job.messages()[0].toStdString();
        EXPECT_FALSE(QFile::exists(job.current.logPath));
        EXPECT_FALSE(job.anyControlLocked());
    }
}
