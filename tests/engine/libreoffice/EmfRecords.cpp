#include "EmfRecords.h"

#include <QHash>
#include <QRegularExpression>
#include <QtEndian>

namespace quillet::testing {

namespace {

uint32_t u32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<uint32_t>(data.constData() + at);
}

int32_t i32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<int32_t>(data.constData() + at);
}

QString utf16(const QByteArray& data, qsizetype at, qsizetype units)
{
    QString s;
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t c = qFromLittleEndian<char16_t>(data.constData() + at + 2 * i);
        if (c == 0)
            break;
        s += QChar(c);
    }
    return s;
}

} // namespace

EmfContent readEmf(const QByteArray& emf)
{
    EmfContent content;
    if (emf.size() < 108 || u32(emf, 0) != 1 || u32(emf, 40) != 0x464D4520) {
        content.fault = QStringLiteral("no EMR_HEADER with the EMF signature");
        return content;
    }
    if (u32(emf, 48) != uint32_t(emf.size())) {
        content.fault = QStringLiteral("size field %1, file %2").arg(u32(emf, 48)).arg(emf.size());
        return content;
    }
    content.frameMm =
        QSizeF((i32(emf, 32) - i32(emf, 24) + 1) / 100.0, (i32(emf, 36) - i32(emf, 28) + 1) / 100.0);
    QHash<uint32_t, EmfTextRun> fonts; // by handle; 0: the one selected
    qsizetype at = 0;
    uint32_t last = 0, records = 0;
    while (at < emf.size()) {
        if (at + 8 > emf.size()) {
            content.fault = QStringLiteral("record header cut at %1").arg(at);
            return content;
        }
        const uint32_t type = u32(emf, at), size = u32(emf, at + 4);
        if (size < 8 || size % 4 || at + size > emf.size()) {
            content.fault = QStringLiteral("record %1 at %2 has size %3").arg(type).arg(at).arg(size);
            return content;
        }
        if (type == 82 && size >= 104) { // EMR_EXTCREATEFONTINDIRECTW
            EmfTextRun font;
            font.face = utf16(emf, at + 40, 32);
            font.escapement = i32(emf, at + 20);
            font.weight = i32(emf, at + 28);
            font.italic = emf.at(at + 32) != 0;
            fonts.insert(u32(emf, at + 8), font);
        } else if (type == 37 && fonts.contains(u32(emf, at + 8))) { // EMR_SELECTOBJECT
            fonts.insert(0, fonts.value(u32(emf, at + 8)));
        } else if (type == 84 && size >= 76) { // EMR_EXTTEXTOUTW
            const uint32_t chars = u32(emf, at + 44), offset = u32(emf, at + 48);
            if (offset + 2 * qsizetype(chars) > size) {
                content.fault = QStringLiteral("text record at %1 runs past its end").arg(at);
                return content;
            }
            EmfTextRun run = fonts.value(0);
            run.text = utf16(emf, at + offset, chars);
            content.text += run.text + QLatin1Char('\n');
            content.faces.insert(run.face);
            content.runs.push_back(run);
        } else if (type == 81 || type == 114) {
            ++content.bitmaps;
        } else if (type == 62 || type == 63 || type == 64) {
            ++content.paths;
        }
        last = type;
        ++records;
        at += size;
    }
    if (last != 14)
        content.fault = QStringLiteral("last record is %1, not EMR_EOF").arg(last);
    else if (u32(emf, 52) != records)
        content.fault =
            QStringLiteral("header counts %1 records, file has %2").arg(u32(emf, 52)).arg(records);
    return content;
}

QStringList missingWords(const QString& text, const QString& emfText)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    QString haystack = emfText;
    haystack.remove(space);
    QStringList missing;
    for (const QString& word : text.split(space, Qt::SkipEmptyParts)) {
        if (!haystack.contains(word))
            missing << word;
    }
    return missing;
}

} // namespace quillet::testing
