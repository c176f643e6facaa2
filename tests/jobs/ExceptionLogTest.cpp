#include "jobs/ExceptionLog.h"

#include "support/JobTestSupport.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

// Checked against the locale's own date, whatever locale data the Qt build carries.
TEST(ExceptionLogLine, IsTheShortDateTheTimeToTheSecondATabAndTheTextsOnOneLine)
{
    const QDateTime when(QDate(2024, 5, 3), QTime(14, 5, 9));
    for (const char* name : {"C", "zh_CN", "en_US", "de_DE"}) {
        SCOPED_TRACE(name);
        const QLocale locale(name);
        const QString line = ComposeLogLine(when, locale, "/文档/报告 一.doc", "无法打开");
        const QString date = locale.toString(when.date(), QLocale::ShortFormat) + ' ';
        ASSERT_EQ(line.left(date.size()), date);
        const QString time = line.mid(date.size()).section('\t', 0, 0);
        EXPECT_TRUE(time.contains("05") && time.contains("09")) << time.toStdString();
        const QString zone = locale.toString(when.time(), "t");
        EXPECT_TRUE(zone.isEmpty() || !time.contains(zone)) << "no time zone: " << time.toStdString();
        EXPECT_EQ(line.section('\t', 1), "处理/文档/报告 一.doc处错：无法打开\r\n");
    }
    EXPECT_TRUE(ComposeLogLine(when, QLocale::c(), "/d/a.doc", "").endsWith("\t处理/d/a.doc处错：\r\n"));
    EXPECT_TRUE(ComposeLogLine(when, QLocale::c(), "/d/a\nb.doc", "一\r\n二\n三\r")
                    .endsWith("\t处理/d/a b.doc处错：一 二 三 \r\n"));
}

TEST(ExceptionLogEncoding, IsTheNamedCharacterSetAndUtf8InAnAsciiOnlyLocale)
{
    EXPECT_EQ(EncodeForCharset("处理报告 a", "GB18030").toHex(), "b4a6c0edb1a8b8e62061");
    EXPECT_EQ(EncodeForCharset("处理报告 a", "gbk").toHex(), "b4a6c0edb1a8b8e62061");
    EXPECT_EQ(EncodeForCharset("处理 a", "ANSI_X3.4-1968").toHex(), "e5a484e790862061");
    EXPECT_EQ(EncodeForCharset("处理 a", "").toHex(), "e5a484e790862061");
}

TEST(WriteLog, CreatesTheFileThenAppendsAndNeverFails)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("Quillet.log");
    WriteLog(log, "/docs/with blanks/a.doc", "打不开");
    WriteLog(log, "/docs/b.doc", "");
    const QStringList lines = LogLines(log);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].section('\t', 1), "处理/docs/with blanks/a.doc处错：打不开");
    EXPECT_EQ(lines[1].section('\t', 1), "处理/docs/b.doc处错：");

    for (const QString& unwritable : {dir.filePath("missing/Quillet.log"), QString(), dir.path()})
        WriteLog(unwritable, "/d/a.doc", "x");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Quillet.log"});
    EXPECT_EQ(LogLines(log).size(), 2);
}
