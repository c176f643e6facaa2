#include "engine/libreoffice/LoPageWalk_p.h"

#include <algorithm>
#include <com/sun/star/beans/UnknownPropertyException.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>

namespace quillet::lo {

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

LoPageWalk::LoPageWalk(Reference<frame::XModel> model)
    : m_model(model), m_textDocument(model, UNO_QUERY_THROW), m_positions(m_textDocument)
{}

void LoPageWalk::attach()
{
    if (m_pageCursor.is())
        return;
    Reference<text::XTextViewCursorSupplier> supplier(m_model->getCurrentController(), UNO_QUERY_THROW);
    m_viewCursor = supplier->getViewCursor();
    m_pageCursor.set(m_viewCursor, UNO_QUERY_THROW);
}

int LoPageWalk::pageCount()
{
    if (m_pageCount == 0) {
        attach();
        const sal_Int16 page = m_pageCursor->getPage();
        m_pageCursor->jumpToLastPage();
        m_pageCount = m_pageCursor->getPage();
        m_pageCursor->jumpToPage(page);
    }
    return m_pageCount;
}

int LoPageWalk::layoutPageCount()
{
    if (m_layoutPageCount == 0) {
        // The view counts every laid-out page; the jump to the last page above stops on the page
        // where the main text ends.
        sal_Int32 viewCount = 0;
        Reference<beans::XPropertySet> view(m_model->getCurrentController(), uno::UNO_QUERY);
        if (view.is()) {
            try {
                view->getPropertyValue("PageCount") >>= viewCount;
            } catch (const beans::UnknownPropertyException&) {
                viewCount = 0;
            }
        }
        m_layoutPageCount = std::max<int>(viewCount, mainTextLastPage());
    }
    return m_layoutPageCount;
}

int LoPageWalk::mainTextLastPage()
{
    if (m_mainTextLastPage == 0) {
        attach();
        const sal_Int16 page = m_pageCursor->getPage();
        m_viewCursor->gotoRange(m_textDocument->getText()->getEnd(), false);
        m_mainTextLastPage = m_pageCursor->getPage();
        m_pageCursor->jumpToPage(page);
    }
    return m_mainTextLastPage;
}

int LoPageWalk::trailingPages()
{
    return layoutPageCount() - mainTextLastPage();
}

CharPosition LoPageWalk::documentEnd()
{
    const CharPosition end = m_positions.documentEnd();
    const int trailing = trailingPages();
    return trailing > 0 ? end + trailing + 1 : end;
}

void LoPageWalk::moveTo(CharPosition position)
{
    attach();
    if (position == 0) {
        m_pageCursor->jumpToFirstPage();
        m_pageCursor->jumpToStartOfPage();
        m_pageStarts[0] = 1;
        m_current = 0;
        return;
    }
    const auto it = m_pageStarts.find(position);
    if (it == m_pageStarts.end())
        return;
    if (position > m_positions.documentEnd()) {
        // A trailing page: the view cursor cannot stand there, and the walk does not need it to.
        m_current = position;
        return;
    }
    m_pageCursor->jumpToPage(static_cast<sal_Int16>(it->second));
    m_pageCursor->jumpToStartOfPage();
    m_current = position;
}

std::optional<CharPosition> LoPageWalk::next()
{
    attach();
    if (m_pageStarts.empty())
        m_pageStarts[0] = 1;
    const auto current = m_pageStarts.find(m_current);
    // From the main text's last page on, the pages that follow hold no main text.
    if (current != m_pageStarts.end() && current->second >= mainTextLastPage())
        return nextTrailingPage();
    if (!m_pageCursor->jumpToNextPage())
        return nextTrailingPage();
    m_pageCursor->jumpToStartOfPage();
    const CharPosition position = m_positions.positionOf(m_viewCursor);
    // A page without main text of its own gives no forward position.
    if (position <= m_current)
        return nextTrailingPage();
    m_pageStarts[position] = m_pageCursor->getPage();
    m_current = position;
    return position;
}

std::optional<CharPosition> LoPageWalk::nextTrailingPage()
{
    const CharPosition mainEnd = m_positions.documentEnd();
    const CharPosition position = std::max(m_current, mainEnd) + 1;
    const int trailing = trailingPages();
    if (trailing <= 0 || position > mainEnd + trailing)
        return std::nullopt;
    m_pageStarts[position] = mainTextLastPage() + (position - mainEnd);
    m_current = position;
    return position;
}

int LoPageWalk::pageOf(CharPosition start, CharPosition end)
{
    const auto it = m_pageStarts.find(start);
    if (it == m_pageStarts.end())
        return 0;
    const auto following = std::next(it);
    const bool ends = following == m_pageStarts.end() ? end == documentEnd() : end == following->first;
    return ends ? it->second : 0;
}

} // namespace quillet::lo
