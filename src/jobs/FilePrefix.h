#pragma once

#include <QString>

namespace quillet {

// The separator the jobs append to the output folder and search for in document paths.
QChar PathSeparator();

// Makes a missing output folder, its last level only: a folder under a missing parent is most
// likely a typing error. False when the folder is not there afterwards.
bool MakeOutputFolder(const QString& folder);

// The base name of a document path: the characters between the last separator and the last ".".
// "/docs/report.final.doc" gives "report.final". Throws EngineError (InvalidArgument) when the
// path has no "." after its last separator, since no base name can be told apart then.
QString GetFilePrefix(const QString& path);

// Output folder (ending with the separator) + base name of the document + "-" + number + extension.
// Throws like GetFilePrefix.
QString OutputFileName(const QString& outputFolder, const QString& documentPath, int number,
                       const QString& extension);

// Every name OutputFileName gives a document, as one pattern: the number is "*" ("/out/report-*.emf").
// Two documents with equal patterns write the same files. Throws like GetFilePrefix.
QString OutputNamesPattern(const QString& outputFolder, const QString& documentPath,
                           const QString& extension);

} // namespace quillet
