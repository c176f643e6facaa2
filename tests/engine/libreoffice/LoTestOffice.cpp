#include "LoTestOffice.h"

namespace quillet::testing {

WalkResult walkPages(OfficeDocument& doc, OfficeSelection& selection, OfficeBrowser& browser)
{
    doc.Select();
    WalkResult result{{selection.Start()}, selection.End()};
    selection.Collapse(CollapseStart);
    browser.setTarget(BrowseByPage);
    for (int guard = 0; guard < 10000; ++guard) {
        browser.Next();
        const CharPosition next = selection.End();
        if (next <= result.starts.back() || next >= result.documentEnd)
            break;
        result.starts.push_back(next);
    }
    return result;
}

} // namespace quillet::testing
