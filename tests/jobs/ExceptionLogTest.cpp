#include "jobs/ExceptionLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillet;

namespace {

const QDateTime When(QDate(2024, 5, 3), QTime(14, 5, 9));

QByteArray ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes WriteLog writes for this line at a moment between `before` and now.
bool IsLineWrittenSince(const QByteArray& bytes, const QDateTime& before, const QString& path,
                        const QString& description)
{
    const QDateTime after = QDateTime::currentDateTime();
    for (QDateTime t = before.addMSecs(-before.time().msec()); t <= after; t = t.addSecs(1)) {
        if (bytes == EncodeForSystem(ComposeLogLine(t, QLocale::system(), path, description)))
            return true;
    }
    return false;
}

} // namespace

TEST(ExceptionLogLine, IsDateTimeTabPathAndDescription)
{
    EXPECT_EQ(ComposeLogLine(When, QLocale("zh_CN"), "/文档/报告 一.doc", "无法打开"),
              QString("2024/5/3 14:05:09\t处理/文档/报告 一.doc处错：无法打开\r\n"));
    EXPECT_EQ(ComposeLogLine(When, QLocale("en_US"), "/d/a.doc", "x"),
              QString("5/3/24 2:05:09 PM\t处理/d/a.doc处错：x\r\n"));
    EXPECT_EQ(ComposeLogLine(When, QLocale("de_DE"), "/d/a.doc", "x"),
              QString("03.05.24 14:05:09\t处理/d/a.doc处错：x\r\n"));
}

TEST(ExceptionLogLine, EmptyDescriptionEndsWithTheMarker)
{
    EXPECT_TRUE(ComposeLogLine(When, QLocale("zh_CN"), "/d/a.doc", "").endsWith("处错：\r\n"));
}

TEST(ExceptionLogLine, LineBreaksInsideTheTextsDoNotSplitTheLine)
{
    const QString line = ComposeLogLine(When, QLocale("zh_CN"), "/d/a.doc", "第一行\r\n第二行\n第三行");
    EXPECT_EQ(line.count("\r\n"), 1);
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_TRUE(line.endsWith("处错：第一行 第二行 第三行\r\n"));
}

TEST(ExceptionLogEncoding, Utf8AndGb18030Bytes)
{
    const QString line = ComposeLogLine(When, QLocale("zh_CN"), "/文档/报告 一.doc", "无法打开");
    EXPECT_EQ(
        EncodeForCharset(line, "UTF-8").toHex(),
        QByteArray(
            "323032342f352f332031343a30353a303909e5a484e790862fe69687e6a1a32fe68aa5e5918a20e4b8802e646f63"
            "e5a484e99499efbc9ae697a0e6b395e68993e5bc800d0a"));
    const QByteArray gb =
        "323032342f352f332031343a30353a303909b4a6c0ed2fcec4b5b52fb1a8b8e620d2bb2e646f63b4a6b4eda3bace"
        "deb7a8b4f2bfaa0d0a";
    EXPECT_EQ(EncodeForCharset(line, "GB18030").toHex(), gb);
    EXPECT_EQ(EncodeForCharset(line, "gbk").toHex(), gb);
}

TEST(ExceptionLogEncoding, PlainAsciiLocaleWritesUtf8AndSystemUsesTheLocaleCharset)
{
    const QString text = "处理 a";
    EXPECT_EQ(EncodeForCharset(text, "ANSI_X3.4-1968"), text.toUtf8());
    EXPECT_EQ(EncodeForCharset(text, ""), text.toUtf8());
    EXPECT_EQ(EncodeForSystem(text), EncodeForCharset(text, SystemCharset()));
}

TEST(WriteLog, CreatesTheFileThenAppendsOneLinePerCall)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("Quillet.log");
    const QDateTime before = QDateTime::currentDateTime();
    WriteLog(log, "/docs/with blanks/a.doc", "打不开");
    const QByteArray first = ReadAll(log);
    EXPECT_TRUE(IsLineWrittenSince(first, before, "/docs/with blanks/a.doc", "打不开"));

    const QDateTime beforeSecond = QDateTime::currentDateTime();
    WriteLog(log, "/docs/b.doc", "");
    const QByteArray both = ReadAll(log);
    ASSERT_TRUE(both.startsWith(first));
    EXPECT_TRUE(IsLineWrittenSince(both.mid(first.size()), beforeSecond, "/docs/b.doc", ""));
    EXPECT_EQ(both.count("\r\n"), 2);
}

TEST(WriteLog, KeepsWhatTheFileHeldBefore)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("old.log");
    {
        QFile file(log);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("earlier run\r\n");
    }
    WriteLog(log, "/d/a.doc", "x");
    EXPECT_TRUE(ReadAll(log).startsWith("earlier run\r\n"));
    EXPECT_EQ(ReadAll(log).count("\r\n"), 2);
}

TEST(WriteLog, SwallowsEveryFailure)
{
    QTemporaryDir dir;
    const QString inMissingFolder = dir.filePath("missing/Quillet.log");
    EXPECT_NO_THROW(WriteLog(inMissingFolder, "/d/a.doc", "x"));
    EXPECT_FALSE(QFile::exists(inMissingFolder));
    EXPECT_NO_THROW(WriteLog("", "/d/a.doc", "x"));
    EXPECT_NO_THROW(WriteLog(dir.path(), "/d/a.doc", "x")); // a folder, not a file
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0);
}
