#include "LoTestOffice.h"

#include "engine/libreoffice/LibreOfficeEngine.h"

#include <stdexcept>

namespace quillet::testing {

LoTestOffice::LoTestOffice()
{
    lo::LibreOfficeEngine engine;
    std::unique_ptr<OfficeApplication> app = engine.CreateApplication();
    m_app.reset(dynamic_cast<lo::LoApplication*>(app.get()));
    if (!m_app)
        throw std::runtime_error("the LibreOffice engine made no LibreOffice application");
    app.release();
}

LoTestOffice::~LoTestOffice()
{
    m_app->Quit();
}

WalkResult walkPages(OfficeDocument& doc, OfficeSelection& selection, OfficeBrowser& browser)
{
    WalkResult result;
    doc.Select();
    CharPosition pageStart = selection.Start();
    result.documentEnd = selection.End();
    selection.Collapse(CollapseStart);
    browser.setTarget(BrowseByPage);
    result.starts.push_back(pageStart);
    for (int guard = 0; guard < 10000; ++guard) {
        browser.Next();
        const CharPosition pageEnd = selection.End();
        if (pageEnd == pageStart) {
            result.lastNextStayed = true;
            break;
        }
        if (pageEnd >= result.documentEnd)
            break;
        result.starts.push_back(pageEnd);
        pageStart = pageEnd;
    }
    return result;
}

} // namespace quillet::testing
