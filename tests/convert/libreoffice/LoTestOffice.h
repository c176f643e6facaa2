#pragma once

// A private office for the document tests: one session, documents opened hidden and read-only,
// and the page walk exactly as the page renderer makes it.

#include "convert/engine/OfficeApplication.h"
#include "convert/libreoffice/LibreOfficeSession.h"
#include "convert/libreoffice/LoDocument.h"

#include <memory>
#include <vector>

namespace quillet::testing {

class LoTestOffice
{
public:
    LoTestOffice();
    ~LoTestOffice();

    std::unique_ptr<lo::LoDocument> open(const QString& path);
    OfficeSelection& selection(lo::LoDocument& doc) { return doc.selection(); }
    OfficeBrowser& browser(lo::LoDocument& doc) { return doc.browser(); }
    PictureSlot& slot() { return m_slot; }
    lo::LibreOfficeSession& session() { return m_session; }

private:
    lo::LibreOfficeSession m_session;
    PictureSlot m_slot;
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
