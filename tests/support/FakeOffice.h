#pragma once

// A scripted office engine for tests: documents are described by their page lengths and shapes,
// and any call can be made to fail with a chosen number and description.

#include "engine/OfficeApplication.h"

#include <QMap>
#include <QStringList>
#include <tuple>

namespace quillet::testing {

struct FakeDocumentScript
{
    std::vector<CharPosition> pageLengths{10}; // characters on each page, first page first
    std::vector<bool> floating;                // per shape: whether copying it gives a picture
    std::vector<bool> inlineShapes;            // numbered on after the floating ones
    int lists = 0;
};

// What a copy of page or shape `number` of the document delivers, so tests can tell them apart.
QByteArray FakePicture(const QString& path, int number);

// A failure number that makes the call throw a type that is no std::exception, as an office's
// own API may.
constexpr long ForeignFailure = -1;

// The engine outlives the applications it creates.
class FakeOffice : public OfficeEngine
{
public:
    void addDocument(const QString& path, const FakeDocumentScript& script) { m_documents[path] = script; }
    // Makes a call fail: every time when occurrence is 0, else only its occurrence-th time.
    void failOn(const QString& call, long number, const QString& description, int occurrence = 0)
    {
        m_failures.insert(call, {number, description, occurrence});
    }
    void setVersion(const QString& version) { m_version = version; }
    std::unique_ptr<OfficeApplication> CreateApplication() override;

    // Every call so far, in order, named after the interface ("Documents.Open", "Range.Copy",
    // "Shape.Select", "Selection.Copy", "Document.Close", "Quit"...).
    QStringList calls() const { return m_calls; }
    int count(const QString& call) const { return static_cast<int>(m_calls.count(call)); }
    int liveApplications() const { return m_liveApplications; } // created and not yet quit
    int openDocuments() const { return m_openDocuments; }       // opened and not yet closed

private:
    class App;
    class Document;
    // Records the call; throws when a failure is scripted for it.
    void call(const QString& name);

    QMap<QString, FakeDocumentScript> m_documents;
    QMultiMap<QString, std::tuple<long, QString, int>> m_failures; // number, description, occurrence
    QStringList m_calls;
    QString m_version = QStringLiteral("16.0");
    int m_liveApplications = 0;
    int m_openDocuments = 0;
};

} // namespace quillet::testing
