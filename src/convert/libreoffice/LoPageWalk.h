#pragma once

// The page walk of a Writer document: the controller's view cursor moves page by page (it works in
// a hidden view), and every page start it reaches is recorded with its character position and its
// page number in the layout, so that a range of positions can be matched to a page later.
// Every method makes remote calls: call them inside LibreOfficeSession::guarded().

#include "convert/engine/OfficeApplication.h"
#include "convert/libreoffice/LoTextPositions.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <map>
#include <optional>

namespace quillet::lo {

class LoPageWalk
{
public:
    explicit LoPageWalk(css::uno::Reference<css::frame::XModel> model);

    LoTextPositions& positions() { return m_positions; }
    // Pages laid out in the document.
    int pageCount();
    // Puts the view cursor at the start of the page that begins at `position` (the first page for
    // 0). Unknown positions leave it where it is.
    void moveTo(CharPosition position);
    // Moves to the start of the next page and returns its position; nothing when there is no next
    // page in the main text (the cursor then stays on its page).
    std::optional<CharPosition> next();
    // Layout page number of the page running from start to end as recorded by the walk; 0 when
    // the range is not one walked page.
    int pageOf(CharPosition start, CharPosition end);

private:
    void attach();

    css::uno::Reference<css::frame::XModel> m_model;
    css::uno::Reference<css::text::XTextViewCursor> m_viewCursor;
    css::uno::Reference<css::text::XPageCursor> m_pageCursor;
    LoTextPositions m_positions;
    int m_pageCount = 0;
    CharPosition m_current = 0;
    std::map<CharPosition, int> m_pageStarts; // position -> layout page number
};

} // namespace quillet::lo
