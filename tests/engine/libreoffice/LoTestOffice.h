#pragma once

// Offices for the tests: a private office reached through the engine's application object, and the
// page walk as the page renderer makes it.

#include "engine/OfficeApplication.h"
#include "engine/libreoffice/LoApplication_p.h"

#include <QString>
#include <memory>
#include <vector>

namespace quillet::testing {

class LoTestOffice
{
public:
    std::unique_ptr<OfficeDocument> open(const QString& path) { return m_app.Documents().Open(path); }
    OfficeSelection& selection() { return m_app.Selection(); }
    OfficeBrowser& browser() { return m_app.Browser(); }
    PictureSlot& slot() { return m_app.Clipboard(); }
    lo::LibreOfficeSession& session() { return m_app.session(); }

private:
    lo::LoApplication m_app; // quits its office when it goes
};

struct WalkResult
{
    std::vector<CharPosition> starts; // start of each page, first page first
    CharPosition documentEnd = 0;
    // Where page k (0 for the first) ends: the next page's start, or the document's end.
    CharPosition pageEnd(std::size_t k) const { return k + 1 < starts.size() ? starts[k + 1] : documentEnd; }
};

// Select, measure, collapse, then Next until the insertion point no longer moves on or reaches the end.
WalkResult walkPages(OfficeDocument& doc, OfficeSelection& selection, OfficeBrowser& browser);

} // namespace quillet::testing
