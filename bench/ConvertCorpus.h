#pragma once

// The conversion benchmark's documents: CJK and Latin text, a numbered list, a table and an
// in-line picture on every page (and a floating picture on the first), as flat ODT; the benchmark
// saves them as .docx, .doc and .rtf through a warm private office.

#include "engine/libreoffice/LibreOfficeSession_p.h"

#include <QByteArray>
#include <QString>
#include <com/sun/star/lang/XComponent.hpp>
#include <functional>

namespace quillet::bench {

namespace css = com::sun::star;

// A document of `pages` pages; `seed` varies the text between documents.
QByteArray CorpusFlatOdt(int pages, int seed);

// The formats the corpus is saved in, with the office's filter names.
struct CorpusFormat
{
    const char* extension;
    const char* filter;
};
constexpr CorpusFormat CorpusFormats[] = {
    {"docx", "MS Word 2007 XML"}, {"doc", "MS Word 97"}, {"rtf", "Rich Text Format"}};

// Loads `path` hidden and read-only in the session's office, hands it to `work` and closes it, all
// in one guarded call.
void WithLoadedDocument(lo::LibreOfficeSession& session, const QString& path,
                        const std::function<void(const css::uno::Reference<css::lang::XComponent>&)>& work);

// Saves a flat ODT document (such as CorpusFlatOdt's) as `target` in `format`.
void SaveFlatOdt(lo::LibreOfficeSession& session, const QByteArray& flatOdt, const QString& target,
                 const CorpusFormat& format);

} // namespace quillet::bench
