// What each job does with one document (the page renderer's and the picture extractor's work), run
// whole on the fake engine.
#include "convert/ConversionJob.h"
#include "extract/ExtractionJob.h"
#include "support/JobTestSupport.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

// The pages of the range, or every object (floating first, one number each whether or not a picture
// came), under their own numbers; a failure leaves the rest and one log line with the last failure.
TEST(DocumentWork, SavesThePagesOfTheRangeOrEveryObjectUnderItsNumberAndLogsTheLastFailure)
{
    const bool T = true, F = false;
    const FakeDocumentScript one{{10}, {}, {}, 2}, five{{12, 7, 30, 1, 9}, {}, {}, 2}; // with two lists
    const struct
    {
        const char* name;
        bool objects; // the extraction, else the conversion
        const char* document;
        FakeDocumentScript script;
        QString range; // "first-last", else boxes that all pages ignore
        QList<std::tuple<const char*, int, const char*>> failures;
        QList<int> saved;
        int walked;     // pages or objects
        QString logged; // what the one log line says went wrong, if any
    } cases[] = {
        // clang-format off
        {"one page", F, "a.b.doc", one, "", {}, {1}, 1, ""},
        {"all pages", F, "a.b.doc", five, "", {}, {1, 2, 3, 4, 5}, 5, ""},
        {"range", F, "a.doc", five, "2-3", {}, {2, 3}, 3, ""},
        {"range past end", F, "a.doc", five, "7-9", {}, {}, 5, ""},
        {"range over end", F, "a.doc", five, "4-99", {}, {4, 5}, 5, ""},
        {"failed copies", F, "a.doc", five, "", {{"Range.Copy", 2, "二"}, {"Range.Copy", 4, "四"}},
         {1, 3, 5}, 5, "四"},
        {"failed range", F, "a.doc", five, "", {{"Document.Range", 2, "范"}}, {1, 3, 4, 5}, 5, "范"},
        {"failed close", F, "a.doc", five, "", {{"Document.Close", 1, "关"}}, {1, 2, 3, 4, 5}, 5, "关"},
        {"failed open", F, "a.doc", five, "", {{"Documents.Open", 1, "开"}}, {}, 0, "开"},
        {"no extension", F, "d.d/noext", five, "", {}, {}, 5, "无效"},
        {"no name", F, ".doc", one, "", {}, {1}, 1, ""},
        {"objects", T, "m.docx", {{10}, {T, T}, {T, T, T}}, "", {}, {1, 2, 3, 4, 5}, 5, ""},
        {"no picture", T, "m.doc", {{10}, {T, F}, {T}}, "", {}, {1, 3}, 3, ""},
        {"no objects", T, "m.rtf", {}, "", {}, {}, 0, ""},
        {"failed select", T, "m.doc", {{10}, {T, T, T}}, "", {{"Shape.Select", 2, "选"}}, {1, 3}, 3, "选"},
        {"failed object copy", T, "m.doc", {{10}, {T, T}, {T}}, "",
         {{"Selection.Copy", 1, "复"}, {"InlineShapes", 0, "列"}}, {2}, 2, "列"},
        {"objects, no extension", T, "noext", {{10}, {T, T}}, "", {}, {}, 2, "无效的过程调用"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeJob job;
        const QString doc = job.add(c.document, c.script);
        for (const auto& [call, occurrence, description] : c.failures)
            job.office.failOn(call, 1005, description, occurrence);
        const bool range = !c.range.isEmpty();
        job.run(c.objects ? RunExtractionJob : RunConversionJob,
                {"out", "Quillet.log", !range, range, range ? c.range.section('-', 0, 0) : "x",
                 c.range.section('-', 1)});
        job.expectOutcome(doc, c.saved, c.objects ? ".bmp" : ".emf", c.logged);
        EXPECT_EQ(job.keepAliveCalls, c.walked); // after every page or object
        EXPECT_EQ(job.office.calls().count("List.ConvertNumbersToText"), c.objects || !c.walked ? 0 : 2);
    }
}

TEST(DocumentWork, ReadsTheOptionsAfreshForEveryPage)
{
    FakeJob job;
    job.add("a.doc", {{5, 5, 5, 5}});
    // While page 1 is done, the user narrows the range and picks another folder.
    job.onKeepAlive = [&] {
        if (job.keepAliveCalls == 1)
            job.current = {job.dir.path() + '/', "", false, true, "1", "2"};
    };
    job.run(RunConversionJob);
    EXPECT_EQ(FilesIn(job.out()), QStringList{"a-1.emf"});
    EXPECT_EQ(FilesIn(job.dir.path()), QStringList{"a-2.emf"});
    EXPECT_EQ(job.keepAliveCalls, 2);
}
