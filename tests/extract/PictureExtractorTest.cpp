#include "extract/PictureExtractor.h"

#include "support/JobTestSupport.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

// Floating objects first, then in-line ones, one number each whether or not a picture came; a
// failure leaves its number unused and the one log line holds the last one. The page range plays
// no part.
TEST(PictureExtractor, SavesEveryObjectUnderItsNumberAndLogsTheLastFailure)
{
    const bool T = true, F = false;
    const struct
    {
        const char* name;
        const char* document;
        std::vector<bool> floating, inlineShapes; // whether each gives a picture
        QList<std::tuple<const char*, int, const char*>> failures;
        QList<int> saved;
        QString logged; // what the one log line says went wrong, if any
    } cases[] = {
        // clang-format off
        {"floating first", "m.docx", {T, T}, {T, T, T}, {}, {1, 2, 3, 4, 5}, ""},
        {"no picture", "m.doc", {T, F}, {T}, {}, {1, 3}, ""},
        {"no objects", "m.rtf", {}, {}, {}, {}, ""},
        {"failed select", "m.doc", {T, T, T}, {}, {{"Shape.Select", 2, "选"}}, {1, 3}, "选"},
        {"failed copy", "m.doc", {T, T}, {T}, {{"Selection.Copy", 1, "复"}, {"InlineShapes", 0, "列"}},
         {2}, "列"},
        {"failed open", "m.doc", {T}, {}, {{"Documents.Open", 1, "开"}}, {}, "开"},
        {"no extension", "noext", {T, T}, {}, {}, {}, "无效的过程调用"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkerSetting setting;
        const QString doc = setting.add(c.document, {{10}, c.floating, c.inlineShapes});
        for (const auto& [call, occurrence, description] : c.failures)
            setting.office.failOn(call, 1011, description, occurrence);
        setting.options.current.allPages = false;
        setting.options.current.pageRange = true;
        setting.options.current.firstPage = "5";
        int ticks = 0;
        ExtractPictures(*setting.app, doc, setting.options, setting.log, [&] { ++ticks; });
        setting.expectOutcome(doc, c.saved, ".bmp", c.logged);
        EXPECT_EQ(ticks, setting.office.count("Shape.Select")); // one per object
        const QStringList calls = setting.office.calls();
        EXPECT_LE(calls.indexOf("Shapes"), calls.indexOf("InlineShapes"));
    }
}
