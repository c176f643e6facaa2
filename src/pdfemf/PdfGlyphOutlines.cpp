#include "pdfemf/PdfGlyphOutlines_p.h"

#include <GfxFont.h>
#include <fofi/FoFiTrueType.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace quillet::pdfemf {

bool isPrivateUse(const Unicode* unicode, int length)
{
    for (int i = 0; i < length; ++i) {
        const Unicode c = unicode[i];
        const bool privateUse = (c >= 0xE000 && c <= 0xF8FF) || (c >= 0xF0000 && c <= 0x10FFFD);
        if (!privateUse)
            return false;
    }
    return length > 0;
}

struct GlyphOutlines::Font
{
    std::vector<unsigned char> program; // FreeType reads the face from it as long as it lives
    FT_Face face = nullptr;
    std::vector<int> codeToGlyph; // empty: the code is the glyph index
    double unitsPerEm = 1000;
    std::map<CharCode, std::optional<GlyphOutline>> glyphs;

    ~Font()
    {
        if (face)
            FT_Done_Face(face);
    }
};

GlyphOutlines::GlyphOutlines() = default;

GlyphOutlines::~GlyphOutlines()
{
    m_fonts.clear();
    if (m_library)
        FT_Done_FreeType(static_cast<FT_Library>(m_library));
}

std::unique_ptr<GlyphOutlines::Font> GlyphOutlines::load(GfxFont& font, XRef* xref)
{
    Ref embedded;
    if (!font.getEmbeddedFontID(&embedded))
        return nullptr;
    if (!m_library) {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0)
            return nullptr;
        m_library = made;
    }
    std::optional<std::vector<unsigned char>> program = font.readEmbFontFile(xref);
    if (!program || program->empty())
        return nullptr;
    auto made = std::make_unique<Font>();
    made->program = std::move(*program);
    if (FT_New_Memory_Face(static_cast<FT_Library>(m_library), made->program.data(),
                           FT_Long(made->program.size()), 0, &made->face) != 0) {
        made->face = nullptr;
        return nullptr;
    }
    if (made->face->units_per_EM > 0)
        made->unitsPerEm = made->face->units_per_EM;
    // The code to glyph index maps, as poppler's own rasteriser makes them.
    switch (font.getType()) {
    case fontType1:
    case fontType1C:
    case fontType1COT: {
        char** names = static_cast<Gfx8BitFont&>(font).getEncoding();
        made->codeToGlyph.assign(256, 0);
        for (int code = 0; code < 256; ++code) {
            if (names[code])
                made->codeToGlyph[size_t(code)] = int(FT_Get_Name_Index(made->face, names[code]));
        }
        break;
    }
    case fontTrueType:
    case fontTrueTypeOT: {
        const std::unique_ptr<FoFiTrueType> file =
            FoFiTrueType::make(made->program.data(), int(made->program.size()));
        if (!file)
            return nullptr;
        int* map = static_cast<Gfx8BitFont&>(font).getCodeToGIDMap(file.get());
        if (!map)
            return nullptr;
        made->codeToGlyph.assign(map, map + 256);
        gfree(map);
        break;
    }
    case fontCIDType0C:
    case fontCIDType0COT:
    case fontCIDType2:
    case fontCIDType2OT: {
        // The code is the CID; without a map, the CID is the glyph index.
        const auto& cid = static_cast<GfxCIDFont&>(font);
        if (cid.getCIDToGID())
            made->codeToGlyph.assign(cid.getCIDToGID(), cid.getCIDToGID() + cid.getCIDToGIDLen());
        break;
    }
    default:
        return nullptr;
    }
    return made;
}

namespace {

struct Decomposed
{
    GlyphOutline outline;
    double scale = 1;
    std::pair<double, double> last;

    std::pair<double, double> point(const FT_Vector* v) const { return {v->x * scale, v->y * scale}; }
    void add(std::pair<double, double> p, bool curve)
    {
        outline.figures.back().points.push_back(p);
        outline.figures.back().curve.push_back(curve);
        last = p;
    }
};

Decomposed& decomposedOf(void* user)
{
    return *static_cast<Decomposed*>(user);
}

const FT_Outline_Funcs kDecompose = {
    [](const FT_Vector* to, void* user) {
        Decomposed& d = decomposedOf(user);
        d.outline.figures.emplace_back();
        d.add(d.point(to), false);
        return 0;
    },
    [](const FT_Vector* to, void* user) {
        decomposedOf(user).add(decomposedOf(user).point(to), false);
        return 0;
    },
    [](const FT_Vector* control, const FT_Vector* to, void* user) {
        // A quadratic curve as the cubic that draws it.
        Decomposed& d = decomposedOf(user);
        const auto [x0, y0] = d.last;
        const auto [cx, cy] = d.point(control);
        const auto [x, y] = d.point(to);
        d.add({x0 + 2 * (cx - x0) / 3, y0 + 2 * (cy - y0) / 3}, true);
        d.add({x + 2 * (cx - x) / 3, y + 2 * (cy - y) / 3}, false);
        d.add({x, y}, false);
        return 0;
    },
    [](const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
        Decomposed& d = decomposedOf(user);
        d.add(d.point(control1), true);
        d.add(d.point(control2), false);
        d.add(d.point(to), false);
        return 0;
    },
    0,
    0,
};

} // namespace

const GlyphOutline* GlyphOutlines::outline(GfxFont& font, XRef* xref, CharCode code)
{
    auto known = m_fonts.find(*font.getID());
    if (known == m_fonts.end())
        known = m_fonts.emplace(*font.getID(), load(font, xref)).first;
    Font* loaded = known->second.get();
    if (!loaded)
        return nullptr;
    auto glyph = loaded->glyphs.find(code);
    if (glyph != loaded->glyphs.end())
        return glyph->second ? &*glyph->second : nullptr;
    std::optional<GlyphOutline>& made = loaded->glyphs[code];
    FT_UInt index = code;
    if (!loaded->codeToGlyph.empty())
        index = code < loaded->codeToGlyph.size() ? FT_UInt(std::max(0, loaded->codeToGlyph[code])) : 0;
    if (index == 0 || FT_Load_Glyph(loaded->face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0 ||
        loaded->face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return nullptr;
    Decomposed decomposed;
    decomposed.scale = 1 / loaded->unitsPerEm;
    FT_Outline& outline = loaded->face->glyph->outline;
    if (FT_Outline_Decompose(&outline, &kDecompose, &decomposed) != 0 || decomposed.outline.figures.empty())
        return nullptr;
    decomposed.outline.winding = !(outline.flags & FT_OUTLINE_EVEN_ODD_FILL);
    made = std::move(decomposed.outline);
    return &*made;
}

} // namespace quillet::pdfemf
