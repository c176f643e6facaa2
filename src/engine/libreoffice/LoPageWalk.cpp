#include "engine/libreoffice/LoPageWalk_p.h"

#include "engine/EngineError.h"

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
    : m_model(model), m_textDocument(model, UNO_QUERY_THROW)
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

CharPosition LoPageWalk::documentEnd()
{
    return layoutPageCount();
}

void LoPageWalk::startAtFirstPage()
{
    attach();
    m_pageCursor->jumpToFirstPage();
    m_pageCursor->jumpToStartOfPage();
    const int first = m_pageCursor->getPage();
    const int passed = pageWithoutMainTextBefore(first, 0);
    record(0, passed ? passed : first);
}

int LoPageWalk::pageWithoutMainTextBefore(int reached, int after)
{
    if (reached <= after + 1)
        return 0;
    // Page browsing passes over every page without main text. The view cursor cannot be sent to a
    // blank page the layout inserts at all; sent to a page that holds something else (a picture
    // anchored to the page), it goes on to the next page with main text.
    int found = 0;
    for (int page = after + 1; page < reached && found == 0; ++page) {
        if (!m_pageCursor->jumpToPage(static_cast<sal_Int16>(page)))
            continue;
        if (m_pageCursor->getPage() == page) {
            throw EngineError(
                ErrorNumber::OperationFailed,
                QStringLiteral("按页浏览越过了有正文的第 %1 页，无法确定各页的位置。").arg(page));
        }
        found = page;
    }
    m_pageCursor->jumpToPage(static_cast<sal_Int16>(reached));
    m_pageCursor->jumpToStartOfPage();
    return found;
}

void LoPageWalk::moveTo(CharPosition position)
{
    if (position == 0) {
        startAtFirstPage();
        return;
    }
    if (position < 0 || size_t(position) >= m_layoutPages.size())
        return;
    m_current = position;
    // A trailing page: the view cursor cannot stand there, and the walk does not need it to.
    if (currentPage() > mainTextLastPage())
        return;
    // On a page without main text the cursor goes on to the next page with main text, where next()
    // expects it.
    m_pageCursor->jumpToPage(static_cast<sal_Int16>(currentPage()));
    m_pageCursor->jumpToStartOfPage();
}

std::optional<CharPosition> LoPageWalk::next()
{
    if (m_layoutPages.empty())
        startAtFirstPage();
    if (currentPage() >= layoutPageCount())
        return std::nullopt;
    // From the main text's last page on, the pages that follow hold no main text.
    if (currentPage() >= mainTextLastPage()) {
        record(m_current + 1, currentPage() + 1);
        return m_current;
    }
    // The cursor stands on the walk's page, or already on the next page with main text when the
    // walk's page has none.
    int page = m_pageCursor->getPage();
    if (page <= currentPage()) {
        const bool moved = m_pageCursor->jumpToNextPage();
        m_pageCursor->jumpToStartOfPage();
        page = m_pageCursor->getPage();
        if (!moved || page <= currentPage() || page > mainTextLastPage()) {
            throw EngineError(
                ErrorNumber::OperationFailed,
                QStringLiteral("按页浏览停在第 %1 页，没有到达下一页（共 %2 页），无法确定后面各页的位置。")
                    .arg(currentPage())
                    .arg(layoutPageCount()));
        }
    }
    const int passed = pageWithoutMainTextBefore(page, currentPage());
    record(m_current + 1, passed ? passed : page);
    return m_current;
}

void LoPageWalk::record(CharPosition position, int layoutPage)
{
    if (size_t(position) < m_layoutPages.size())
        m_layoutPages[size_t(position)] = layoutPage;
    else
        m_layoutPages.push_back(layoutPage);
    m_current = position;
}

int LoPageWalk::pageOf(CharPosition start, CharPosition end)
{
    if (start < 0 || size_t(start) >= m_layoutPages.size())
        return 0;
    const CharPosition pageEnd = size_t(start) + 1 < m_layoutPages.size() ? start + 1 : documentEnd();
    return end == pageEnd ? m_layoutPages[size_t(start)] : 0;
}

} // namespace quillet::lo
