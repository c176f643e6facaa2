#pragma once

// The conversion benchmark's documents: CJK and Latin text, a numbered list, a table and an
// in-line picture on every page (and a floating picture on the first), as flat ODT; the benchmark
// saves them as .docx, .doc and .rtf through a warm private office.

#include <QByteArray>

namespace quillet::bench {

// A document of `pages` pages; `seed` varies the text between documents.
QByteArray CorpusFlatOdt(int pages, int seed);

} // namespace quillet::bench
