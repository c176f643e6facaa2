#include "pdfemf/PdfFontFace_p.h"

#include <GfxFont.h>
#include <fontconfig/fontconfig.h>
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
    cache.emplace(name, face);
    return face;
}

} // namespace quillet::pdfemf
