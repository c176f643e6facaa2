#pragma once

// The page walk of a Writer document: the controller's view cursor moves page by page (it works in
// a hidden view), and every page start it reaches is recorded with its character position and its
// page number in the layout, so that a range of positions can be matched to a page later.
//
// Pages after the one where the main text ends (endnotes only, or a blank page the layout adds)
// hold no main text, so the view cursor never reaches them. The walk presents each of them as one
// more position past the end of the main text: the main text's last page runs to end + 1, trailing
// page k from end + k to end + k + 1, and documentEnd() lies past the last of them.
//
// Every method makes remote calls: call them inside LibreOfficeSession::guarded().

#include "engine/OfficeApplication.h"
#include "engine/libreoffice/LoTextPositions_p.h"

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
    // Pages the view cursor reaches (up to where the main text ends).
    int pageCount();
    // Pages laid out in the document, trailing pages without main text included.
    int layoutPageCount();
    // End of the walk: the end of the main text, past the trailing pages when there are any.
    CharPosition documentEnd();
    // Puts the view cursor at the start of the page that begins at `position` (the first page for
    // 0). Unknown positions leave it where it is.
    void moveTo(CharPosition position);
    // Moves to the start of the next page and returns its position; nothing on the last layout
    // page (the cursor then stays on its page). Past the main text's last page it steps through the
    // trailing pages without moving the view cursor.
    std::optional<CharPosition> next();
    // Layout page number of the page running from start to end as recorded by the walk; 0 when
    // the range is not one walked page.
    int pageOf(CharPosition start, CharPosition end);

private:
    void attach();
    // Layout pages after the main text's last page.
    int trailingPages();
    int mainTextLastPage();
    std::optional<CharPosition> nextTrailingPage();

    css::uno::Reference<css::frame::XModel> m_model;
    css::uno::Reference<css::text::XTextDocument> m_textDocument;
    css::uno::Reference<css::text::XTextViewCursor> m_viewCursor;
    css::uno::Reference<css::text::XPageCursor> m_pageCursor;
    LoTextPositions m_positions;
    int m_pageCount = 0;
    int m_layoutPageCount = 0;
    int m_mainTextLastPage = 0;
    CharPosition m_current = 0;
    std::map<CharPosition, int> m_pageStarts; // position -> layout page number
};

} // namespace quillet::lo
