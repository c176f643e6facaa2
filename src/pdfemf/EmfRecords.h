#pragma once

// The enhanced metafile's records as this library writes them, and a reader of what a metafile
// holds: its frame, whether its record chain is sound, its text records with the font each was
// drawn in, and how many bitmaps and paths it draws. The writer, the converter, the tests and the
// benchmarks all read metafiles through this one reader.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillet::pdfemf {

enum EmfRecordType : uint32_t
{
    EMR_HEADER = 1,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_EOF = 14,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_MOVETOEX = 27,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_SETMITERLIMIT = 58,
    EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61,
    EMR_FILLPATH = 62,
    EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64,
    EMR_SELECTCLIPPATH = 67,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_SETDIBITSTODEVICE = 80,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_EXTCREATEPEN = 95,
    EMR_ALPHABLEND = 114,
    EMR_TRANSPARENTBLT = 116,
};

// " EMF" at offset 40 of the header record.
constexpr uint32_t kEmfSignature = 0x464D4520;

// A text record's option: the string is in reading (logical) order and reads right to left.
constexpr uint32_t ETO_RTLREADING = 0x80;

struct EmfRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The font a text record was drawn in (the LOGFONT of the font selected at that point).
struct EmfFontInfo
{
    QString face;
    int32_t height = 0; // negative: character height
    int32_t width = 0;  // average character width; 0 for the face's own
    int32_t escapement = 0;
    int32_t weight = 0;
    bool italic = false;
};

struct EmfTextRecord
{
    QString text;
    EmfFontInfo font;
    int32_t x = 0, y = 0;    // reference point
    uint32_t options = 0;    // ETO_* flags
    std::vector<int32_t> dx; // advances, one per UTF-16 unit; empty when the reader places the glyphs
};

struct EmfContent
{
    QString fault; // empty when the header and the record chain are sound and EMR_EOF ends it
    EmfRect frame; // the header's frame, 0.01 mm
    std::vector<EmfTextRecord> texts;
    int bitmaps = 0;             // records that draw a bitmap
    int paths = 0;               // filled or stroked paths
    std::vector<uint32_t> types; // every record's type, in order

    QString text() const; // every text record's text, joined
};

// Reads a whole metafile; stops at the first record that breaks the chain (see `fault`).
EmfContent readEmf(const QByteArray& bytes);

// The frame of a metafile from its first bytes (88 are enough); nullopt when they are no EMF header.
std::optional<EmfRect> emfFrame(const QByteArray& header);

} // namespace quillet::pdfemf
