// Both batch jobs on a real, private LibreOffice, on documents the tests build themselves.

#include "TestDocuments.h"
#include "convert/ConversionJob.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "engine/libreoffice/OfficeProcessProbe.h"
#include "extract/ExtractionJob.h"
#include "support/JobTestSupport.h"
#include "support/PictureChecks.h"
#include "support/ScriptedJobWindow.h"

#include <QCryptographicHash>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

// The real engine, noting the office process group and profile of each job while it runs.
class ObservedEngine : public OfficeEngine
{
public:
    explicit ObservedEngine(lo::SessionSettings settings = {}) : m_engine(std::move(settings)) {}
    std::unique_ptr<OfficeApplication> CreateApplication() override
    {
        auto app = m_engine.CreateApplication();
        m_current = dynamic_cast<lo::LoApplication*>(app.get());
        return app;
    }
    void observe()
    {
        if (!m_current || m_current->session().pid() == 0)
            return;
        if (!groups.contains(m_current->session().pid()))
            groups << m_current->session().pid();
        if (!profiles.contains(m_current->session().profileDir()))
            profiles << m_current->session().profileDir();
    }
    void forget() { m_current = nullptr; }
    // The office of the current job now (0 when none runs), and how many it started.
    qint64 officePid() const { return m_current ? m_current->session().pid() : 0; }
    int officeStarts() const { return m_current ? m_current->session().starts() : 0; }

    QList<qint64> groups;
    QStringList profiles;

private:
    lo::LibreOfficeEngine m_engine;
    lo::LoApplication* m_current = nullptr;
};

class ObservingWindow : public ScriptedJobWindow
{
public:
    explicit ObservingWindow(ObservedEngine& engine) : m_engine(engine) {}
    void keepAlive() override
    {
        ScriptedJobWindow::keepAlive();
        m_engine.observe();
        if (onKeepAlive)
            onKeepAlive();
    }
    std::function<void()> onKeepAlive; // after each page or object

private:
    ObservedEngine& m_engine;
};

QByteArray Hash(const QString& fileName)
{
    return QCryptographicHash::hash(FileBytes(fileName), QCryptographicHash::Sha256);
}

bool IsColor(const QImage& image, QRgb color)
{
    if (image.isNull())
        return false;
    const QColor sampled = image.pixelColor(image.width() / 2, image.height() / 2);
    const QColor expected(color);
    return std::abs(sampled.red() - expected.red()) <= 12 &&
           std::abs(sampled.green() - expected.green()) <= 12 &&
           std::abs(sampled.blue() - expected.blue()) <= 12;
}

class RealEngineJob : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        window.current.outputFolder = m_dir.filePath("out");
        window.current.logPath = m_dir.filePath("Quillet.log");
    }
    void TearDown() override
    {
        engine.forget();
        for (qint64 group : engine.groups)
            EXPECT_TRUE(waitUntilGroupGone(group)) << "office process group " << group << " left running";
        for (const QString& profile : engine.profiles)
            EXPECT_TRUE(waitUntilPathGone(profile)) << "profile left: " << profile.toStdString();
    }
    QString out(const QString& name) const { return m_dir.filePath("out/") + name; }

    QTemporaryDir m_dir;
    ObservedEngine engine;
    ObservingWindow window{engine};
    RecordingTextViewer viewer;
};

} // namespace

TEST_P(RealEngineJob, ConvertsEveryPageToItsOwnVectorPicture)
{
    TestDocumentSpec spec;
    spec.pages = 5;
    const QString doc = testDocument(spec, GetParam());
    const QByteArray before = Hash(doc);
    window.documents << doc;
    RunConversionJob(window, engine, viewer);

    EXPECT_EQ(window.scriptedDialogs.messageTexts(), QStringList{"转换完毕！"});
    const QString prefix = QFileInfo(doc).completeBaseName();
    QStringList expected;
    for (int page = 1; page <= 5; ++page)
        expected << QString("%1-%2.emf").arg(prefix).arg(page);
    ASSERT_EQ(FilesIn(m_dir.filePath("out")), expected);
    for (int page = 1; page <= 5; ++page) {
        const QByteArray emf = FileBytes(out(expected[page - 1]));
        ASSERT_TRUE(IsWellFormedEmf(emf)) << "page " << page;
        const QString text = EmfTexts(emf).join(QString());
        EXPECT_TRUE(text.contains(pageMarker(page))) << "page " << page;
        EXPECT_TRUE(text.contains(QString("%1.").arg(page))) << "list number on page " << page;
        for (int other = 1; other <= 5; ++other) {
            if (other != page)
                EXPECT_FALSE(text.contains(pageMarker(other))) << "page " << page << " shows page " << other;
        }
    }
    EXPECT_FALSE(QFile::exists(window.current.logPath));
    EXPECT_EQ(Hash(doc), before);
    EXPECT_FALSE(engine.groups.isEmpty());
}

TEST_P(RealEngineJob, ExtractsEveryDrawingObjectAsBmpWhateverThePageRange)
{
    TestDocumentSpec spec;
    spec.pictures = true;
    spec.pages = 2;
    const QString doc = testDocument(spec, GetParam());
    const QByteArray before = Hash(doc);
    window.documents << doc;
    window.current.allPages = false;
    window.current.pageRange = true;
    window.current.firstPage = "2";
    window.current.lastPage = "";
    RunExtractionJob(window, engine, viewer);

    EXPECT_EQ(window.scriptedDialogs.messageTexts(), QStringList{"图像提取完毕！"});
    EXPECT_TRUE(window.current.allPages);
    EXPECT_FALSE(window.pageBoxesEnabled);
    const QString prefix = QFileInfo(doc).completeBaseName();
    ASSERT_EQ(FilesIn(m_dir.filePath("out")),
              (QStringList{prefix + "-1.bmp", prefix + "-2.bmp", prefix + "-3.bmp"}));
    QList<QImage> images;
    for (int n = 1; n <= 3; ++n) {
        const QByteArray bmp = FileBytes(out(QString("%1-%2.bmp").arg(prefix).arg(n)));
        ASSERT_TRUE(IsWellFormedBmp(bmp)) << "picture " << n;
        images << DecodeImage(bmp);
    }
    // The two floating objects come first, in the order the document keeps them.
    const int picture = IsColor(images[0], TestPictures::floatingColor) ? 0 : 1;
    EXPECT_TRUE(IsColor(images[picture], TestPictures::floatingColor));
    EXPECT_NEAR(images[picture].width(), TestPictures::floatingSize.width(), 1);
    EXPECT_NEAR(images[picture].height(), TestPictures::floatingSize.height(), 1);
    EXPECT_TRUE(IsColor(images[1 - picture], TestPictures::rectangleColor));
    EXPECT_TRUE(IsColor(images[2], TestPictures::inlineColor));
    EXPECT_NEAR(images[2].width(), TestPictures::inlineSize.width(), 1);
    EXPECT_NEAR(images[2].height(), TestPictures::inlineSize.height(), 1);
    EXPECT_FALSE(QFile::exists(window.current.logPath));
    EXPECT_EQ(Hash(doc), before);
}

INSTANTIATE_TEST_SUITE_P(Formats, RealEngineJob, ::testing::Values("docx", "doc", "rtf"));

TEST(RealEngineJobs, CorruptDocumentBetweenTwoGivesOneLineAndOneQuestion)
{
    QTemporaryDir dir;
    ObservedEngine engine;
    ObservingWindow window(engine);
    RecordingTextViewer viewer;
    window.current.outputFolder = dir.filePath("out");
    window.current.logPath = dir.filePath("Quillet.log");
    TestDocumentSpec two;
    two.pages = 2;
    TestDocumentSpec three;
    three.pages = 3;
    const QString corrupt = dir.filePath("corrupt.docx");
    {
        QFile file(corrupt);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("PK\x03\x04 this is not a real archive");
    }
    window.documents << testDocument(two, "docx") << corrupt << testDocument(three, "rtf");
    RunConversionJob(window, engine, viewer);

    EXPECT_EQ(FilesIn(dir.filePath("out")).size(), 5);
    const QStringList lines = LogLines(window.current.logPath);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("\t处理" + corrupt + "处错："));
    EXPECT_EQ(window.scriptedDialogs.messageTexts().count(
                  "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？"),
              1);
    engine.forget();
    for (qint64 group : engine.groups)
        EXPECT_TRUE(waitUntilGroupGone(group));
}

// The office hung or killed during the second document: that document's one line names the cause
// (not what the calls after it reported), no office is started inside that document, and the third
// document is converted on a fresh one.
TEST(RealEngineJobs, LostOfficeIsNamedInTheLineAndTheNextDocumentGoesOn)
{
    TestDocumentSpec spec;
    spec.pages = 3;
    const QString built = testDocument(spec, "docx");
    for (const int signal : {SIGSTOP, SIGKILL}) {
        SCOPED_TRACE(signal == SIGSTOP ? "hung office" : "killed office");
        QTemporaryDir dir;
        lo::SessionSettings settings;
        settings.baseDeadline = std::chrono::seconds(3);
        settings.perPageAllowance = std::chrono::seconds(1);
        ObservedEngine engine(settings);
        ObservingWindow window(engine);
        RecordingTextViewer viewer;
        window.current.outputFolder = dir.filePath("out");
        window.current.logPath = dir.filePath("Quillet.log");
        for (const char* name : {"a.docx", "b.docx", "c.docx"}) {
            ASSERT_TRUE(QFile::copy(built, dir.filePath(name)));
            window.documents << dir.filePath(name);
        }
        qint64 lostOffice = 0;
        QList<int> startsAfterTheLoss;
        window.onKeepAlive = [&] {
            if (window.progressText != "正在处理第2个文件")
                return;
            if (lostOffice == 0) {
                lostOffice = engine.officePid();
                signalGroup(lostOffice, signal);
            } else {
                startsAfterTheLoss << engine.officeStarts();
            }
        };
        window.scriptedDialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Cancel;
        RunConversionJob(window, engine, viewer);

        const QStringList lines = LogLines(window.current.logPath);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].contains("处理" + dir.filePath("b.docx") + "处错：")) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(signal == SIGSTOP ? "秒内没有完成操作" : "进程意外结束"))
            << lines[0].toStdString();
        EXPECT_FALSE(startsAfterTheLoss.isEmpty());
        EXPECT_EQ(startsAfterTheLoss.count(1), startsAfterTheLoss.size())
            << "an office started inside b.docx";
        EXPECT_EQ(FilesIn(dir.filePath("out")),
                  (QStringList{"a-1.emf", "a-2.emf", "a-3.emf", "b-1.emf", "c-1.emf", "c-2.emf", "c-3.emf"}));
        EXPECT_EQ(engine.groups.size(), 2);
        engine.forget();
        for (qint64 group : engine.groups)
            EXPECT_TRUE(waitUntilGroupGone(group));
    }
}

// The office's start does not depend on the user's PATH; an office that cannot start ends the job
// once, with one message and no line per document.
TEST(RealEngineJobs, OfficeStartsWithoutTheUsersPathAndAFailedStartEndsTheJobOnce)
{
    QTemporaryDir dir;
    TestDocumentSpec spec;
    const QString doc = testDocument(spec, "docx");
    RecordingTextViewer viewer;
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        ObservedEngine engine;
        ObservingWindow window(engine);
        window.current.outputFolder = dir.filePath("out");
        window.current.logPath = dir.filePath("Quillet.log");
        window.documents << doc;
        RunConversionJob(window, engine, viewer);
        qputenv("PATH", path);
        EXPECT_EQ(window.scriptedDialogs.messageTexts(), QStringList{"转换完毕！"});
        EXPECT_EQ(FilesIn(dir.filePath("out")).size(), 1);
    }
    // An installation whose office ends at once.
    const QString program = dir.filePath("program");
    ASSERT_TRUE(QDir().mkpath(program));
    for (const char* name : {"fundamentalrc", "types.rdb"})
        ASSERT_TRUE(QFile::link(QString("/usr/lib/libreoffice/program/") + name, program + '/' + name));
    {
        QFile soffice(program + "/soffice");
        ASSERT_TRUE(soffice.open(QIODevice::WriteOnly));
        soffice.write("#!/bin/sh\nexit 1\n");
        soffice.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    lo::SessionSettings settings;
    settings.programDir = program;
    ObservedEngine engine(settings);
    ObservingWindow window(engine);
    window.current.outputFolder = dir.filePath("out2");
    window.current.logPath = dir.filePath("Quillet.log");
    window.documents << doc << dir.filePath("other.docx") << dir.filePath("third.docx");
    RunConversionJob(window, engine, viewer);
    const QStringList messages = window.scriptedDialogs.messageTexts();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("无法启动文档处理引擎")) << messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(window.current.logPath));
    EXPECT_FALSE(window.anyControlLocked());
}
