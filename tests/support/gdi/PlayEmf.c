/* Draws enhanced metafiles with GDI's own record player (PlayEnhMetaFileRecord) into a white 32-bit DIB
 * section and writes each picture as a binary PPM. Built with mingw-w64 and run under Wine, it is a reader
 * with GDI's drawing rules (bidirectional text, premultiplied alpha, vertical '@' fonts).
 *
 * One record is played by hand: Wine 8.0's 64-bit gdi32 reads EMR_EXTCREATEPEN with the pointer-sized
 * EXTLOGPEN (its fields 4 bytes late, an 8-byte hatch) instead of the format's EXTLOGPEN32, so every
 * such pen comes out null and its strokes thin and black. The player makes the pen from the record as
 * the format lays it out, as GDI on Windows does, and plays every other record with GDI itself.
 *
 * Usage: PlayEmf.exe LIST    where each line of LIST is "<in.emf>\t<out.ppm>\t<width>\t<height>"
 * Exit status: the number of pictures that could not be drawn or written (0: all of them). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

/* EMR_EXTCREATEPEN: ihPen at 8, offBmi, cbBmi, offBits, cbBits, then EXTLOGPEN32 at 28: style,
 * width, brush style, colour, hatch (32 bits), number of dash entries, the entries. */
static HPEN extPenOf(const ENHMETARECORD* record)
{
    const DWORD* f = (const DWORD*)record;
    if (record->nSize < 52 || f[12] > 16 || 52 + 4 * f[12] > record->nSize)
        return NULL;
    LOGBRUSH brush = {f[9], f[10], f[11]};
    return ExtCreatePen(f[7], f[8], &brush, f[12], f[12] ? f + 13 : NULL);
}

static int CALLBACK playRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int handles, LPARAM data)
{
    (void)data;
    if (record->iType == EMR_EXTCREATEPEN) {
        const DWORD index = ((const DWORD*)record)[2];
        if (index > 0 && index < (DWORD)handles)
            table->objectHandle[index] = extPenOf(record);
        return 1;
    }
    PlayEnhMetaFileRecord(dc, table, record, (UINT)handles);
    return 1;
}

static int drawOne(const char* in, const char* out, int width, int height)
{
    HENHMETAFILE emf = GetEnhMetaFileA(in);
    if (!emf) {
        fprintf(stderr, "cannot read %s\n", in);
        return 1;
    }
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; /* top row first */
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    int failed = 1;
    if (dc && bitmap && bits) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, width, height, WHITENESS);
        RECT frame = {0, 0, width, height};
        if (!EnumEnhMetaFile(dc, emf, playRecord, NULL, &frame))
            fprintf(stderr, "EnumEnhMetaFile reported a failure for %s\n", in);
        GdiFlush();
        FILE* file = fopen(out, "wb");
        if (file) {
            fprintf(file, "P6\n%d %d\n255\n", width, height);
            const unsigned char* p = (const unsigned char*)bits;
            unsigned char* row = (unsigned char*)malloc((size_t)width * 3);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x, p += 4) {
                    row[3 * x] = p[2];
                    row[3 * x + 1] = p[1];
                    row[3 * x + 2] = p[0];
                }
                fwrite(row, 3, (size_t)width, file);
            }
            free(row);
            failed = fclose(file) != 0;
        }
        SelectObject(dc, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    DeleteEnhMetaFile(emf);
    return failed;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: PlayEmf.exe LIST\n");
        return 255;
    }
    FILE* list = fopen(argv[1], "r");
    if (!list)
        return 255;
    char line[4096], in[2048], out[2048];
    int width, height, failures = 0;
    while (fgets(line, sizeof line, list)) {
        if (sscanf(line, "%2047[^\t]\t%2047[^\t]\t%d\t%d", in, out, &width, &height) != 4 || width <= 0 ||
            height <= 0 || width > 20000 || height > 20000) {
            ++failures;
            continue;
        }
        failures += drawOne(in, out, width, height);
    }
    fclose(list);
    return failures > 254 ? 254 : failures;
}
