#include "convert/PageRenderer.h"

#include "support/JobTestSupport.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

// Which pages are taken, and what a failure inside the document leaves: the other pages under
// their own numbers and one log line with the last failure.
TEST(PageRenderer, SavesThePagesOfTheRangeUnderTheirNumbersAndLogsTheLastFailure)
{
    const std::vector<CharPosition> five = {12, 7, 30, 1, 9};
    const struct
    {
        const char* name;
        const char* document;
        std::vector<CharPosition> pages;
        QString first, last; // a range when given
        QList<std::tuple<const char*, int, const char*>> failures;
        QList<int> saved;
        int walked;     // pages walked
        QString logged; // what the one log line says went wrong, if any
    } cases[] = {
        // clang-format off
        {"one page", "a.b.doc", {10}, "", "", {}, {1}, 1, ""},
        {"all pages", "a.b.doc", five, "", "", {}, {1, 2, 3, 4, 5}, 5, ""},
        {"range", "a.doc", five, "2", "3", {}, {2, 3}, 3, ""},
        {"range past end", "a.doc", five, "7", "9", {}, {}, 5, ""},
        {"range over end", "a.doc", five, "4", "99", {}, {4, 5}, 5, ""},
        {"failed copies", "a.doc", five, "", "", {{"Range.Copy", 2, "二"}, {"Range.Copy", 4, "四"}},
         {1, 3, 5}, 5, "四"},
        {"failed range", "a.doc", five, "", "", {{"Document.Range", 2, "范"}}, {1, 3, 4, 5}, 5, "范"},
        {"failed close", "a.doc", five, "", "", {{"Document.Close", 1, "关"}}, {1, 2, 3, 4, 5}, 5, "关"},
        {"failed open", "a.doc", five, "", "", {{"Documents.Open", 1, "开"}}, {}, 0, "开"},
        {"no extension", "d.d/noext", five, "", "", {}, {}, 5, "无效"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkerSetting setting;
        const QString doc = setting.add(c.document, {c.pages, {}, {}, 2});
        for (const auto& [call, occurrence, description] : c.failures)
            setting.office.failOn(call, 1005, description, occurrence);
        const bool range = !c.first.isEmpty(); // else boxes that all pages ignore
        setting.options.current = {setting.options.current.outputFolder,
                                   setting.options.current.logPath,
                                   !range,
                                   range,
                                   range ? c.first : "x",
                                   c.last};
        ConvertDocument(*setting.app, doc, setting.options, setting.log);
        setting.expectOutcome(doc, c.saved, ".emf", c.logged);
        EXPECT_EQ(setting.office.count("Document.Range"), c.walked);
        EXPECT_EQ(setting.office.count("List.ConvertNumbersToText"), c.walked ? 2 : 0);
    }
}

TEST(PageRenderer, ReadsTheOptionsAfreshForEveryPage)
{
    WorkerSetting setting;
    const QString doc = setting.add("a.doc", {{5, 5, 5, 5}});
    int pages = 0;
    ConvertDocument(*setting.app, doc, setting.options, setting.log, [&] {
        // While page 1 is done, the user narrows the range and picks another folder.
        if (++pages == 1)
            setting.options.current = {setting.dir.path() + '/', "", false, true, "1", "2"};
    });
    EXPECT_EQ(FilesIn(setting.dir.filePath("out")), QStringList{"a-1.emf"});
    EXPECT_EQ(FilesIn(setting.dir.path()), QStringList{"a-2.emf"});
    EXPECT_EQ(pages, 2);
}
