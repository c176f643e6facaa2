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
        const QString line = ComposeLogLine(when, locale, "/文档/报告\n一.doc", "无法\r\n打开\n了\r");
        const QString date = locale.toString(when.date(), QLocale::ShortFormat) + ' ';
        ASSERT_EQ(line.left(date.size()), date);
        // The time to the second, without the time zone the long format adds.
        const QString time = line.mid(date.size()).section('\t', 0, 0), zone = locale.toString(when, "t");
        EXPECT_TRUE(time.contains("05:09") && (zone.isEmpty() || !time.contains(zone))) << time.toStdString();
        EXPECT_EQ(line.section('\t', 1), "处理/文档/报告 一.doc处错：无法 打开 了 \r\n");
    }
}

TEST(ExceptionLogEncoding, IsTheNamedCharacterSetAndUtf8InAnAsciiOnlyLocale)
{
    const QByteArray gb = "b4a6c0ed2061", utf8 = "e5a484e790862061";
    const QList<QPair<QByteArray, QByteArray>> cases = {
        {"GB18030", gb}, {"gbk", gb}, {"ANSI_X3.4-1968", utf8}, {"", utf8}};
    for (const auto& [charset, hex] : cases)
        EXPECT_EQ(EncodeForCharset("处理 a", charset).toHex(), hex) << charset.constData();
}

// Sixteen-bit numbers, blanks around them allowed; a range from 0 with the first not above the last.
TEST(PageBox, ARangeIsTwoSixteenBitNumbersFromZeroWithTheFirstNotAboveTheLast)
{
    // clang-format off
    const QList<std::tuple<QString, QString, bool>> ranges = {{"3", "3", true}, {"0", "0", true},
        {" 2 ", "32767", true}, {"5", "3", false}, {"1", "32768", false}, {"-1", "3", false}, {"x", "3", false},
        {"", "3", false}, {"1a", "3", false}, {"1", "9999999999999999999999", false}};
    // clang-format on
    for (const auto& [first, last, valid] : ranges)
        EXPECT_EQ(IsValidPageRange(first, last), valid) << first.toStdString() << "-" << last.toStdString();
}
