#pragma once

// The page walk of a Writer document: the controller's view cursor moves page by page (it works in
// a hidden view), and every page it reaches is recorded with a position and its page number in the
// layout, so that a range of positions can be matched to a page later.
//
// Positions count the walk's pages (0 for the first, one more for each page after it) instead of
// characters: the page renderer only compares them and hands them back to Range(), and counting
// characters through every table cell cost more than the pages' pictures themselves. So they
// strictly increase whatever a page holds (a page of in-line pictures has no characters of its own).
// The walk follows the layout's page numbers. Page browsing passes over pages without main text; the
// walk tells them apart by sending the view cursor there: a blank page the layout inserts (a section
// that must start on a left or right page) cannot be gone to and is no page of the walk, as the usual
// PDF export leaves it out too; a page that holds something else (a picture anchored to the page) is
// a page of its own. So the walk may start on a page after page 1.
//
// Pages after the one where the main text ends (endnotes only) hold no main text, so the view
// cursor never reaches them; the walk steps through them without moving it.
//
// documentEnd() is the number of layout pages: no page's position reaches it, so the last page runs
// to it. When the view cursor does not reach the next page, the walk fails (EngineError) instead of
// ending early.
//
// Every method makes remote calls: call them inside LibreOfficeSession::guarded().

#include "engine/OfficeApplication.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <optional>
#include <vector>

namespace quillet::lo {

class LoPageWalk
{
public:
    explicit LoPageWalk(css::uno::Reference<css::frame::XModel> model);

    // Pages the view cursor reaches (up to where the main text ends).
    int pageCount();
    // Pages laid out in the document, trailing pages without main text included.
    int layoutPageCount();
    // End of the walk, past the position of every page.
    CharPosition documentEnd();
    // Puts the view cursor at the start of the page that begins at `position` (the first page for
    // 0). Unknown positions leave it where it is.
    void moveTo(CharPosition position);
    // Moves to the start of the next page and returns its position; nothing on the last layout
    // page (the cursor then stays on its page). Past the main text's last page it steps through the
    // trailing pages without moving the view cursor. Throws EngineError when the next page cannot
    // be placed.
    std::optional<CharPosition> next();
    // Layout page number of the page running from start to end as recorded by the walk; 0 when
    // the range is not one walked page.
    int pageOf(CharPosition start, CharPosition end);

private:
    void attach();
    void startAtFirstPage();
    // The first page between `after` and `reached` (the page the view cursor reached) that holds
    // something without main text; 0 when there is none. Leaves the cursor at the start of
    // `reached`.
    int pageWithoutMainTextBefore(int reached, int after);
    int mainTextLastPage();
    // Records the layout page at `position` (the next one, or one walked before) and stands there.
    void record(CharPosition position, int layoutPage);
    // Layout page of the walk's current page; 0 before the walk starts.
    int currentPage() const { return m_layoutPages.empty() ? 0 : m_layoutPages[size_t(m_current)]; }

    css::uno::Reference<css::frame::XModel> m_model;
    css::uno::Reference<css::text::XTextDocument> m_textDocument;
    css::uno::Reference<css::text::XTextViewCursor> m_viewCursor;
    css::uno::Reference<css::text::XPageCursor> m_pageCursor;
    int m_pageCount = 0;
    int m_layoutPageCount = 0;
    int m_mainTextLastPage = 0;
    CharPosition m_current = 0;
    std::vector<int> m_layoutPages; // layout page number of each walked position
};

} // namespace quillet::lo
