#include "convert/libreoffice/LoPageWalk.h"

#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>

namespace quillet::lo {

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

LoPageWalk::LoPageWalk(Reference<frame::XModel> model)
    : m_model(model), m_positions(Reference<text::XTextDocument>(model, UNO_QUERY_THROW))
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
    m_pageCursor->jumpToPage(static_cast<sal_Int16>(it->second));
    m_pageCursor->jumpToStartOfPage();
    m_current = position;
}

std::optional<CharPosition> LoPageWalk::next()
{
    attach();
    if (m_pageStarts.empty())
        m_pageStarts[0] = 1;
    if (!m_pageCursor->jumpToNextPage())
        return std::nullopt;
    m_pageCursor->jumpToStartOfPage();
    const CharPosition position = m_positions.positionOf(m_viewCursor);
    // A page without main text of its own (endnotes only) gives no forward position: the walk
    // ends there, as on the last page.
    if (position <= m_current)
        return std::nullopt;
    m_pageStarts[position] = m_pageCursor->getPage();
    m_current = position;
    return position;
}

int LoPageWalk::pageOf(CharPosition start, CharPosition end)
{
    const auto it = m_pageStarts.find(start);
    if (it == m_pageStarts.end())
        return 0;
    const auto following = std::next(it);
    const bool ends =
        following == m_pageStarts.end() ? end == m_positions.documentEnd() : end == following->first;
    return ends ? it->second : 0;
}

} // namespace quillet::lo
