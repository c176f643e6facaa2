// The log line and its encoding, and the page boxes' numbers.
#include "engine/EngineError.h"
#include "jobs/ExceptionLog.h"
#include "jobs/PageBox.h"
#include "support/QtPrinting.h"

#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

using namespace quillet;

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
        const QString zone = locale.toString(when, "t");
        EXPECT_TRUE(zone.isEmpty() || !time.contains(zone)) << "no time zone: " << time.toStdString();
        EXPECT_EQ(line.section('\t', 1), "处理/文档/报告 一.doc处错：无法打开\r\n");
    }
    EXPECT_TRUE(ComposeLogLine(when, QLocale::c(), "/d/a\nb.doc", "一\r\n二\n三\r")
                    .endsWith("\t处理/d/a b.doc处错：一 二 三 \r\n"));
}

TEST(ExceptionLogEncoding, IsTheNamedCharacterSetAndUtf8InAnAsciiOnlyLocale)
{
    for (const auto& [charset, hex] :
         QList<QPair<QByteArray, QByteArray>>{{"GB18030", "b4a6c0ed2061"},
                                              {"gbk", "b4a6c0ed2061"},
                                              {"ANSI_X3.4-1968", "e5a484e790862061"},
                                              {"", "e5a484e790862061"}})
        EXPECT_EQ(EncodeForCharset("处理 a", charset).toHex(), hex) << charset.constData();
}

TEST(PageBox, ReadsSixteenBitNumbersAndAcceptsARangeFromZeroWithFirstNotAboveLast)
{
    for (const auto& [text, value] : QList<QPair<QString, int>>{{"0", 0}, {"32767", 32767}, {" 7 ", 7}})
        EXPECT_EQ(PageBoxNumber(text), value);
    for (const QString text : {"32768", "-32769", "9999999999999999999999", "", "1a", "x"})
        EXPECT_THROW(PageBoxNumber(text), EngineError) << text.toStdString();
    // clang-format off
    const QList<std::tuple<QString, QString, bool>> ranges = {{"3", "3", true}, {"0", "0", true},
        {"2", "32767", true}, {"5", "3", false}, {"1", "40000", false}, {"-1", "3", false}, {"x", "3", false}};
    // clang-format on
    for (const auto& [first, last, valid] : ranges)
        EXPECT_EQ(IsValidPageRange(first, last), valid) << first.toStdString() << "-" << last.toStdString();
}
