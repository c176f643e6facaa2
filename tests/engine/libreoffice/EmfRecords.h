#pragma once

// Reads back what a page picture holds, without trusting the writer: the structural checks of a
// metafile (header, size field, EMR_EOF last), the page frame, the text of its EMR_EXTTEXTOUTW
// records with the face names they were drawn in, and how many bitmaps it draws.

#include <QByteArray>
#include <QSet>
#include <QSizeF>
#include <QString>
#include <vector>

namespace quillet::testing {

struct EmfTextRun
{
    QString text;
    QString face;
    int weight = 0;
    bool italic = false;
    int escapement = 0; // tenths of a degree
};

struct EmfContent
{
    QString fault;  // empty for a structurally valid metafile
    QSizeF frameMm; // the picture's size from the header frame
    QString text;   // every text record's string, one record a line
    QSet<QString> faces;
    std::vector<EmfTextRun> runs;
    int bitmaps = 0; // EMR_STRETCHDIBITS and EMR_ALPHABLEND
    int paths = 0;   // filled or stroked paths
};

EmfContent readEmf(const QByteArray& emf);

// Words of `text` (split at white space) that do not occur in `emfText` once white space is
// removed from both: a word split over several text records still counts as present.
QStringList missingWords(const QString& text, const QString& emfText);

} // namespace quillet::testing
