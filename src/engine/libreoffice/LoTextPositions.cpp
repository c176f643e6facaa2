#include "engine/EngineError.h"
#include "engine/libreoffice/LoTextPositions_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <algorithm>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <cstddef>
#include <limits>

namespace quillet::lo {

using namespace css;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

CharPosition checked(std::int64_t position)
{
    if (position > std::numeric_limits<CharPosition>::max())
        throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("文档太长，字符位置超出范围。"));
    return static_cast<CharPosition>(position);
}

} // namespace

LoTextPositions::LoTextPositions(Reference<text::XTextDocument> document) : m_document(std::move(document)) {}

void LoTextPositions::build()
{
    if (m_built)
        return;
    m_text = m_document->getText();
    m_compare.set(m_text, UNO_QUERY_THROW);
    Reference<text::XTextTablesSupplier> tables(m_document, UNO_QUERY_THROW);
    if (!Reference<container::XIndexAccess>(tables->getTextTables(), UNO_QUERY_THROW)->getCount()) {
        // Paragraphs only: the text's own count (one character per paragraph end) gives the
        // positions, page after page, without reading every paragraph first.
        Reference<text::XTextCursor> all = m_text->createTextCursor();
        all->gotoStart(false);
        all->gotoEnd(true);
        m_end = all->getString().getLength() + 1;
        m_runningFrom = m_text->getStart();
        m_runningAt = 0;
        m_running = true;
        m_built = true;
        return;
    }
    Reference<container::XEnumerationAccess> access(m_text, UNO_QUERY_THROW);
    Reference<container::XEnumeration> elements = access->createEnumeration();
    std::int64_t position = 0;
    while (elements->hasMoreElements()) {
        Reference<uno::XInterface> element(elements->nextElement(), UNO_QUERY);
        Reference<text::XTextTable> table(element, UNO_QUERY);
        if (table.is()) {
            position = addTable(element, position);
            continue;
        }
        Reference<text::XTextRange> paragraph(element, UNO_QUERY);
        if (!paragraph.is())
            continue;
        m_paragraphs.push_back({paragraph, position});
        position += paragraph->getString().getLength() + 1;
    }
    m_end = position;
    m_built = true;
}

std::int64_t LoTextPositions::addTable(const Reference<uno::XInterface>& element, std::int64_t start)
{
    Reference<text::XTextTable> table(element, UNO_QUERY_THROW);
    Reference<container::XNamed> named(element, UNO_QUERY_THROW);
    QHash<QString, std::int64_t>& cells = m_cellStarts[toQString(named->getName())];
    // Cell names come row by row, left to right (A1, B1, A2...), the reading order.
    const uno::Sequence<OUString> names = table->getCellNames();
    for (const OUString& name : names) {
        Reference<text::XTextRange> cellText(table->getCellByName(name), UNO_QUERY_THROW);
        cells.insert(toQString(name), start);
        start += cellText->getString().getLength() + 1;
    }
    return start;
}

CharPosition LoTextPositions::documentEnd()
{
    build();
    return checked(m_end);
}

CharPosition LoTextPositions::positionOf(const Reference<text::XTextViewCursor>& viewCursor)
{
    build();
    if (m_running)
        return checked(runningPosition(viewCursor));
    Reference<beans::XPropertySet> cursorProperties(viewCursor, UNO_QUERY_THROW);
    const uno::Any table = cursorProperties->getPropertyValue("TextTable");
    if (table.hasValue()) {
        const uno::Any cell = cursorProperties->getPropertyValue("Cell");
        return checked(cellPosition(table, cell, viewCursor));
    }
    return checked(bodyPosition(viewCursor));
}

std::int64_t LoTextPositions::runningPosition(const Reference<text::XTextViewCursor>& viewCursor)
{
    const Reference<text::XTextRange> point = viewCursor->getStart();
    // 1 when the last point lies before this one (the walk goes forward), -1 when after.
    const sal_Int16 order = m_compare->compareRegionStarts(m_runningFrom, point);
    Reference<text::XTextCursor> cursor = m_text->createTextCursorByRange(m_runningFrom);
    cursor->gotoRange(point, true);
    const std::int64_t length = cursor->getString().getLength();
    m_runningAt += order < 0 ? -length : length;
    m_runningFrom = point;
    return m_runningAt;
}

std::int64_t LoTextPositions::bodyPosition(const Reference<text::XTextViewCursor>& viewCursor)
{
    // A model cursor from the start of the view cursor's paragraph to the view cursor: its start
    // names the paragraph, its length is the offset inside it.
    Reference<text::XTextCursor> cursor = m_text->createTextCursorByRange(viewCursor->getStart());
    Reference<text::XParagraphCursor> paragraphCursor(cursor, UNO_QUERY_THROW);
    paragraphCursor->gotoStartOfParagraph(true);
    const std::int64_t offset = cursor->getString().getLength();
    const std::size_t index = findParagraph(Reference<text::XTextRange>(cursor.get()));
    return m_paragraphs[index].start + offset;
}

std::size_t LoTextPositions::findParagraph(const Reference<text::XTextRange>& paragraphStart)
{
    // compareRegionStarts(a, b): 1 when a starts before b, 0 at the same place, -1 after.
    auto order = [&](std::ptrdiff_t i) {
        return m_compare->compareRegionStarts(m_paragraphs[static_cast<std::size_t>(i)].range,
                                              paragraphStart);
    };
    std::ptrdiff_t low = 0;
    std::ptrdiff_t high = static_cast<std::ptrdiff_t>(m_paragraphs.size()) - 1;
    // Pages are walked forward: gallop from the paragraph found last, then bisect.
    std::ptrdiff_t probe = std::min(static_cast<std::ptrdiff_t>(m_hint), high);
    for (std::ptrdiff_t step = 1; low <= high; step *= 2) {
        const int at = order(probe);
        if (at == 0)
            return m_hint = static_cast<std::size_t>(probe);
        if (at < 0) {
            high = probe - 1;
            break;
        }
        low = probe + 1;
        probe = std::min(high, probe + step);
    }
    while (low <= high) {
        const std::ptrdiff_t middle = low + (high - low) / 2;
        const int at = order(middle);
        if (at == 0)
            return m_hint = static_cast<std::size_t>(middle);
        if (at > 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("无法确定页面在正文中的位置。"));
}

std::int64_t LoTextPositions::cellPosition(const uno::Any& tableAny, const uno::Any& cellAny,
                                           const Reference<text::XTextViewCursor>& viewCursor)
{
    Reference<container::XNamed> table(tableAny, UNO_QUERY_THROW);
    Reference<beans::XPropertySet> cellProperties(cellAny, UNO_QUERY_THROW);
    const QString tableName = toQString(table->getName());
    const QString cellName = toQString(cellProperties->getPropertyValue("CellName").get<OUString>());
    const auto cells = m_cellStarts.constFind(tableName);
    if (cells == m_cellStarts.cend() || !cells->contains(cellName)) {
        // A table nested in a cell has no place of its own in the count.
        throw EngineError(ErrorNumber::OperationFailed,
                          QStringLiteral("页面从嵌套表格中开始，无法确定其位置。"));
    }
    Reference<text::XText> cellText(cellAny, UNO_QUERY_THROW);
    Reference<text::XTextCursor> cursor = cellText->createTextCursorByRange(cellText->getStart());
    cursor->gotoRange(viewCursor->getStart(), true);
    return cells->value(cellName) + cursor->getString().getLength();
}

} // namespace quillet::lo
