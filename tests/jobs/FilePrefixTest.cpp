#include "jobs/FilePrefix.h"

#include "engine/EngineError.h"
#include "jobs/PageBox.h"
#include "jobs/SkipOnFailure.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace quillet;

namespace {

long FailureNumber(const std::function<void()>& step)
{
    try {
        step();
    } catch (const EngineError& error) {
        return error.number();
    }
    return 0;
}

} // namespace

TEST(GetFilePrefix, TakesTheTextBetweenTheLastSeparatorAndTheLastDot)
{
    EXPECT_EQ(GetFilePrefix("/docs/report.final.doc"), "report.final");
    EXPECT_EQ(GetFilePrefix("report.doc"), "report");
    EXPECT_EQ(GetFilePrefix("/a.b/c.d/报告 一.docx"), "报告 一");
    EXPECT_EQ(GetFilePrefix("/docs/.doc"), "");
}

TEST(GetFilePrefix, PathWithoutUsableExtensionFailsWithInvalidArgument)
{
    EXPECT_EQ(FailureNumber([] { GetFilePrefix("/my.dir/noext"); }), ErrorNumber::InvalidArgument);
    EXPECT_EQ(FailureNumber([] { GetFilePrefix("noext"); }), ErrorNumber::InvalidArgument);
    EXPECT_EQ(FailureNumber([] { GetFilePrefix(""); }), ErrorNumber::InvalidArgument);
}

TEST(OutputFileName, JoinsFolderPrefixNumberAndExtension)
{
    EXPECT_EQ(OutputFileName("/out/", "/docs/a.b.doc", 3, ".emf"), "/out/a.b-3.emf");
    EXPECT_EQ(OutputFileName("/out/", "/docs/x.rtf", 12, ".bmp"), "/out/x-12.bmp");
    EXPECT_EQ(FailureNumber([] { OutputFileName("/out/", "/docs/x", 1, ".emf"); }),
              ErrorNumber::InvalidArgument);
}

TEST(PageBox, ReadsSixteenBitNumbers)
{
    EXPECT_EQ(PageBoxNumber("1"), 1);
    EXPECT_EQ(PageBoxNumber("0"), 0);
    EXPECT_EQ(PageBoxNumber("32767"), 32767);
    EXPECT_EQ(PageBoxNumber(" 7 "), 7);
    EXPECT_EQ(FailureNumber([] { PageBoxNumber("32768"); }), 6);
    EXPECT_EQ(FailureNumber([] { PageBoxNumber("99999999999999999999999"); }), 6);
    EXPECT_EQ(FailureNumber([] { PageBoxNumber(""); }), 13);
    EXPECT_EQ(FailureNumber([] { PageBoxNumber("abc"); }), 13);
    EXPECT_EQ(FailureNumber([] { PageBoxNumber("1a"); }), 13);
}

TEST(PageBox, ValidRangeNeedsNumbersFromZeroAndFirstNotAboveLast)
{
    EXPECT_TRUE(IsValidPageRange("3", "3"));
    EXPECT_TRUE(IsValidPageRange("0", "0"));
    EXPECT_TRUE(IsValidPageRange("2", "32767"));
    EXPECT_FALSE(IsValidPageRange("5", "3"));
    EXPECT_FALSE(IsValidPageRange("", "3"));
    EXPECT_FALSE(IsValidPageRange("1", "40000"));
    EXPECT_FALSE(IsValidPageRange("-1", "3"));
    EXPECT_FALSE(IsValidPageRange("x", "3"));
}

TEST(SkipOnFailure, KeepsTheLastFailureAndGoesOn)
{
    SkipOnFailure steps;
    int ran = 0;
    EXPECT_TRUE(steps.run([&] { ++ran; }));
    EXPECT_FALSE(steps.hasPendingError());
    EXPECT_FALSE(steps.run([] { throw EngineError(1001, "first"); }));
    EXPECT_TRUE(steps.run([&] { ++ran; }));
    EXPECT_FALSE(steps.run([] { throw std::runtime_error("second"); }));
    EXPECT_TRUE(steps.hasPendingError());
    EXPECT_TRUE(steps.pendingDescription().endsWith("second"));
    EXPECT_EQ(steps.pendingNumber(), ErrorNumber::OperationFailed);
    EXPECT_FALSE(steps.run([] { throw EngineError(1002, "third"); }));
    EXPECT_EQ(steps.pendingNumber(), 1002);
    EXPECT_EQ(steps.pendingDescription(), "third");
    EXPECT_EQ(ran, 2);
    steps.clear();
    EXPECT_FALSE(steps.hasPendingError());
    EXPECT_TRUE(steps.pendingDescription().isEmpty());
}
