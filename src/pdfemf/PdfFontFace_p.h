#pragma once

// The face a PDF font stands for, as a metafile reader asks for it: the family name ("Noto Serif
// CJK JP", never a subset-tagged PostScript name), weight and slant; and the face's average
// character width, which a reader divides a font's width (LOGFONT lfWidth) by to narrow or widen
// its glyphs.

#include <QString>

class GfxFont;

namespace quillet::pdfemf {

struct FontFace
{
    QString family;
    int weight = 400; // LOGFONT weight, 100..900
    bool italic = false;
    // Average widths over the em, as the two kinds of reader measure them: the OS/2 table's
    // xAvgCharWidth (GDI's tmAveCharWidth) and the mean advance of the printable ASCII characters
    // (the office's reader). 0 when the font file could not be read.
    double averageWidth = 0;
    double asciiAdvance = 0;
};

// Looks the font's PostScript name up among the installed fonts (the PDF was made on this machine,
// so its fonts are here); otherwise takes the family from the font descriptor or from the name
// itself. The widths come from the font file fontconfig picks for that family, the one the readers
// on this machine draw with. Results are cached by name, without the subset tag, for the life of
// the process.
FontFace fontFaceOf(const GfxFont& font);

} // namespace quillet::pdfemf
