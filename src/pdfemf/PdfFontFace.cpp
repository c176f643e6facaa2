#include "pdfemf/PdfFontFace_p.h"

#include <GfxFont.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H
#include <map>
#include <mutex>

namespace quillet::pdfemf {

namespace {

bool installedFace(const QString& postScriptName, FontFace& face)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_POSTSCRIPT_NAME,
                       reinterpret_cast<const FcChar8*>(postScriptName.toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_WEIGHT, FC_SLANT, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    bool found = false;
    if (fonts && fonts->nfont > 0) {
        FcChar8* family = nullptr;
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        // The first family name is the typographic one ("Noto Serif CJK JP", not "... Bold").
        if (FcPatternGetString(fonts->fonts[0], FC_FAMILY, 0, &family) == FcResultMatch) {
            FcPatternGetInteger(fonts->fonts[0], FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(fonts->fonts[0], FC_SLANT, 0, &slant);
            face.family = QString::fromUtf8(reinterpret_cast<const char*>(family));
            face.weight = FcWeightToOpenType(weight);
            face.italic = slant != FC_SLANT_ROMAN;
            found = true;
        }
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

void readWidths(const char* file, int index, FontFace& face)
{
    // Used only under fontFaceOf's lock.
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    FT_Face font = nullptr;
    if (!library || FT_New_Face(library, file, index, &font) != 0)
        return;
    const double em = font->units_per_EM;
    if (em > 0) {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(font, FT_SFNT_OS2));
        if (os2 && os2->xAvgCharWidth > 0)
            face.averageWidth = os2->xAvgCharWidth / em;
        double sum = 0;
        int count = 0;
        for (FT_ULong c = 0x20; c <= 0x7e; ++c) {
            FT_Fixed advance = 0;
            const FT_UInt glyph = FT_Get_Char_Index(font, c);
            if (glyph != 0 && FT_Get_Advance(font, glyph, FT_LOAD_NO_SCALE, &advance) == 0) {
                sum += double(advance);
                ++count;
            }
        }
        if (count > 0)
            face.asciiAdvance = sum / count / em;
        // GDI makes up an average of its own when the table has none; the ASCII one is close.
        if (face.averageWidth <= 0)
            face.averageWidth = face.asciiAdvance;
    }
    FT_Done_Face(font);
}

// The widths of the font file fontconfig picks for the face's family, weight and slant.
void addWidths(FontFace& face)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(face.family.toUtf8().constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(face.weight));
    FcPatternAddInteger(pattern, FC_SLANT, face.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        readWidths(reinterpret_cast<const char*>(file), index, face);
    }
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
}

// "LiberationSerif-BoldItalic" -> "Liberation Serif", bold, italic.
FontFace faceFromName(const QString& postScriptName, const GfxFont& font)
{
    FontFace face;
    const int dash = postScriptName.indexOf(QLatin1Char('-'));
    const QString base = dash > 0 ? postScriptName.left(dash) : postScriptName;
    const QString style = dash > 0 ? postScriptName.mid(dash + 1) : QString();
    if (font.getFamily() && !font.getFamily()->toStr().empty()) {
        face.family = QString::fromStdString(font.getFamily()->toStr());
    } else {
        for (int i = 0; i < base.size(); ++i) {
            if (i > 0 && base[i].isUpper() && base[i - 1].isLower())
                face.family += QLatin1Char(' ');
            face.family += base[i];
        }
    }
    face.italic = font.isItalic() || style.contains(QLatin1String("Italic")) ||
                  style.contains(QLatin1String("Oblique"));
    if (font.getWeight() != GfxFont::WeightNotDefined)
        face.weight = 100 * int(font.getWeight());
    else if (font.isBold() || style.contains(QLatin1String("Bold")) || style.contains(QLatin1String("Black")))
        face.weight = 700;
    return face;
}

// "BAAAAA+NotoSerifCJKjp-Bold" -> "NotoSerifCJKjp-Bold".
QString withoutSubsetTag(const QString& name)
{
    if (name.size() > 7 && name[6] == QLatin1Char('+')) {
        bool tag = true;
        for (int i = 0; i < 6; ++i)
            tag = tag && name[i] >= QLatin1Char('A') && name[i] <= QLatin1Char('Z');
        if (tag)
            return name.mid(7);
    }
    return name;
}

} // namespace

FontFace fontFaceOf(const GfxFont& font)
{
    static std::mutex mutex;
    static std::map<QString, FontFace> cache;
    // Subsets of one font in many documents share an entry.
    const QString name =
        withoutSubsetTag(QString::fromStdString(font.getName() ? *font.getName() : std::string()));
    std::lock_guard<std::mutex> lock(mutex);
    const auto known = cache.find(name);
    if (known != cache.end())
        return known->second;
    // The office adds suffixes of its own to some names ("NotoSerifCJKjp-Regular-VKana").
    FontFace face;
    QString candidate = name;
    bool found = false;
    while (!candidate.isEmpty() && !(found = installedFace(candidate, face)) &&
           candidate.count(QLatin1Char('-')) > 1)
        candidate.truncate(candidate.lastIndexOf(QLatin1Char('-')));
    if (!found)
        face = faceFromName(candidate, font);
    if (face.family.isEmpty())
        face.family = QStringLiteral("Times New Roman");
    addWidths(face);
    cache.emplace(name, face);
    return face;
}

} // namespace quillet::pdfemf
