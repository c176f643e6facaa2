#pragma once

// The face a PDF font stands for, as a metafile reader asks for it: the family name ("Noto Serif
// CJK JP", never a subset-tagged PostScript name), weight and slant.

#include <QString>

class GfxFont;

namespace quillet::pdfemf {

struct FontFace
{
    QString family;
    int weight = 400; // LOGFONT weight, 100..900
    bool italic = false;
};

// Looks the font's PostScript name up among the installed fonts (the PDF was made on this machine,
// so its fonts are here); otherwise takes the family from the font descriptor or from the name
// itself. Results are cached by name, without the subset tag, for the life of the process.
FontFace fontFaceOf(const GfxFont& font);

} // namespace quillet::pdfemf
