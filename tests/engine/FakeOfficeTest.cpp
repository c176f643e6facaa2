#include "support/FakeOffice.h"

#include "engine/EngineError.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

TEST(FakeOffice, WalksPagesLikeTheRealEngine)
{
    FakeOffice office;
    office.addDocument("/d/a.doc", {{5, 7, 3}, {}, {}, 0});
    auto app = office.CreateApplication();
    auto doc = app->Documents().Open("/d/a.doc");

    doc->Select();
    EXPECT_EQ(app->Selection().Start(), 0);
    EXPECT_EQ(app->Selection().End(), 15);
    app->Selection().Collapse(CollapseStart);
    app->Browser().setTarget(BrowseByPage);

    std::vector<CharPosition> starts;
    for (int i = 0; i < 4; ++i) {
        app->Browser().Next();
        starts.push_back(app->Selection().End());
    }
    EXPECT_EQ(starts, (std::vector<CharPosition>{5, 12, 12, 12})); // no move on the last page

    doc->Range(5, 12)->Copy();
    EXPECT_EQ(app->Clipboard().fetch().bytes, fakePagePicture("/d/a.doc", 2));
    doc->Range(4, 12)->Copy(); // not a page: nothing delivered
    EXPECT_TRUE(app->Clipboard().fetch().isEmpty());

    doc->Close(false);
    EXPECT_EQ(office.openDocuments(), 0);
    app->Quit();
    EXPECT_EQ(office.liveApplications(), 0);
}

TEST(FakeOffice, ShapesNumberFloatingFirstAndScriptedFailuresThrow)
{
    FakeOffice office;
    office.addDocument("/d/s.docx", {{10}, {{true}, {false}}, {{true}}, 0});
    office.failOn("Range.Copy", 4605, "无法复制", 2);
    auto app = office.CreateApplication();
    auto doc = app->Documents().Open("/d/s.docx");

    auto floating = doc->Shapes();
    auto inlineShapes = doc->InlineShapes();
    ASSERT_EQ(floating.size(), 2u);
    ASSERT_EQ(inlineShapes.size(), 1u);
    floating[1]->Select();
    app->Selection().Copy();
    EXPECT_TRUE(app->Clipboard().fetch().isEmpty());
    inlineShapes[0]->Select();
    app->Selection().Copy();
    EXPECT_EQ(app->Clipboard().fetch().bytes, fakeShapePicture("/d/s.docx", 3));

    doc->Range(0, 10)->Copy();
    try {
        doc->Range(0, 10)->Copy();
        FAIL() << "the second copy should fail";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), 4605);
        EXPECT_EQ(e.description(), "无法复制");
    }
    EXPECT_THROW(app->Documents().Open("/d/missing.doc"), EngineError);
    // Objects that go out of scope without Close/Quit are not left open.
    doc.reset();
    app.reset();
    EXPECT_EQ(office.openDocuments(), 0);
    EXPECT_EQ(office.liveApplications(), 0);
    EXPECT_EQ(office.count("Quit"), 0);
}

} // namespace
