#pragma once

// Character positions in a Writer document's main text, counted the way the page walk needs them:
// every body paragraph counts its characters plus one for its end mark; a table counts each cell's
// characters plus one, row by row. A document without tables is counted as it is walked: the length
// from the last point to the next. With tables the body is enumerated once per document and kept,
// so a point (the view cursor at a page start, perhaps in a cell) is placed by a few comparisons.
// Every method makes remote calls: call them inside LibreOfficeSession::guarded().

#include "engine/OfficeApplication.h"

#include <QHash>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <cstdint>
#include <vector>

namespace quillet::lo {

namespace css = com::sun::star;

class LoTextPositions
{
public:
    explicit LoTextPositions(css::uno::Reference<css::text::XTextDocument> document);

    bool built() const { return m_built; }
    // Enumerates the body (tables included); done once.
    void build();
    // Position just after the last paragraph mark: the end of the main text.
    CharPosition documentEnd();
    // Position of the start of the view cursor. Throws EngineError when the cursor stands outside
    // the main text and its tables (a header, a footnote).
    CharPosition positionOf(const css::uno::Reference<css::text::XTextViewCursor>& viewCursor);

private:
    struct Paragraph
    {
        css::uno::Reference<css::text::XTextRange> range;
        std::int64_t start;
    };

    std::int64_t runningPosition(const css::uno::Reference<css::text::XTextViewCursor>& viewCursor);
    std::int64_t bodyPosition(const css::uno::Reference<css::text::XTextViewCursor>& viewCursor);
    std::int64_t cellPosition(const css::uno::Any& table, const css::uno::Any& cell,
                              const css::uno::Reference<css::text::XTextViewCursor>& viewCursor);
    std::size_t findParagraph(const css::uno::Reference<css::text::XTextRange>& paragraphStart);
    std::int64_t addTable(const css::uno::Reference<css::uno::XInterface>& table, std::int64_t start);

    css::uno::Reference<css::text::XTextDocument> m_document;
    css::uno::Reference<css::text::XText> m_text;
    css::uno::Reference<css::text::XTextRangeCompare> m_compare;
    bool m_built = false;
    bool m_running = false; // no tables: positions counted from the last point
    css::uno::Reference<css::text::XTextRange> m_runningFrom;
    std::int64_t m_runningAt = 0;
    std::vector<Paragraph> m_paragraphs;
    QHash<QString, QHash<QString, std::int64_t>> m_cellStarts; // table name -> cell name -> start
    std::int64_t m_end = 0;
    std::size_t m_hint = 0; // the paragraph found last: pages are walked forward
};

} // namespace quillet::lo
