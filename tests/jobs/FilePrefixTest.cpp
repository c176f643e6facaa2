#include "jobs/FilePrefix.h"

#include "engine/EngineError.h"
#include "jobs/PageBox.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(GetFilePrefix, IsTheTextBetweenTheLastSeparatorAndTheLastDotOrFails)
{
    // clang-format off
    const QList<QPair<QString, QString>> prefixes = {{"/docs/report.final.doc", "report.final"},
        {"report.doc", "report"}, {"/a.b/c.d/报告 一.docx", "报告 一"}, {"/docs/.doc", ""}};
    // clang-format on
    for (const auto& [path, prefix] : prefixes)
        EXPECT_EQ(GetFilePrefix(path), prefix);
    for (const QString path : {"/my.dir/noext", "noext", ""})
        EXPECT_THROW(GetFilePrefix(path), EngineError) << path.toStdString();
}

TEST(PageBox, ReadsSixteenBitNumbersAndAcceptsARangeFromZeroWithFirstNotAboveLast)
{
    for (const auto& [text, value] : QList<QPair<QString, int>>{{"0", 0}, {"32767", 32767}, {" 7 ", 7}})
        EXPECT_EQ(PageBoxNumber(text), value);
    for (const QString text : {"32768", "-32769", "9999999999999999999999", "", "1a", "x"})
        EXPECT_THROW(PageBoxNumber(text), EngineError) << text.toStdString();
    // clang-format off
    const QList<std::tuple<QString, QString, bool>> ranges = {{"3", "3", true}, {"0", "0", true},
        {"2", "32767", true}, {"5", "3", false}, {"1", "40000", false}, {"-1", "3", false},
        {"x", "3", false}};
    // clang-format on
    for (const auto& [first, last, valid] : ranges)
        EXPECT_EQ(IsValidPageRange(first, last), valid) << first.toStdString() << "-" << last.toStdString();
}
