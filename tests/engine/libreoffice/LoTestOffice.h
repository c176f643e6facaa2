#pragma once

// A private office for the document tests, reached the way the program reaches it: the LibreOffice
// engine's application object. Also the page walk exactly as the page renderer makes it.

#include "engine/OfficeApplication.h"
#include "engine/libreoffice/LoApplication_p.h"

#include <memory>
#include <vector>

namespace quillet::testing {

class LoTestOffice
{
public:
    LoTestOffice();
    ~LoTestOffice();

    std::unique_ptr<OfficeDocument> open(const QString& path) { return m_app->Documents().Open(path); }
    OfficeSelection& selection() { return m_app->Selection(); }
    OfficeBrowser& browser() { return m_app->Browser(); }
    PictureSlot& slot() { return m_app->Clipboard(); }
    lo::LibreOfficeSession& session() { return m_app->session(); }

private:
    std::unique_ptr<lo::LoApplication> m_app;
};

struct WalkResult
{
    std::vector<CharPosition> starts; // start of each page, first page first
    CharPosition documentEnd = 0;
    bool lastNextStayed = false; // Next on the last page left the insertion point where it was
};

// Select, measure, collapse, then Next until the insertion point stops moving.
WalkResult walkPages(OfficeDocument& doc, OfficeSelection& selection, OfficeBrowser& browser);

} // namespace quillet::testing
