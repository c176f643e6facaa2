#pragma once

// The pictures of one folder the converter offers, and where each converted picture goes.

#include <QString>
#include <QStringList>

namespace quillet::tessora {

enum class OutputFormat
{
    Png,
    Jpg
};

// File suffix of a format, without the dot ("png", "jpg").
QString suffixOf(OutputFormat format);

// The .emf and .bmp files directly in folder (any letter case), full paths sorted by name.
QStringList listPictures(const QString& folder);

// The converted picture beside source: "<base name>.png". When another listed picture shares the
// base name (a.emf and a.bmp), the source's whole name is kept ("a.emf.png") so that the two do
// not overwrite each other.
QString outputPathFor(const QString& source, OutputFormat format, const QStringList& folderPictures);

} // namespace quillet::tessora
