#pragma once

// A scripted office engine for tests: documents are described by their page lengths and shapes,
// and any operation can be made to fail with a chosen number and description.

#include "engine/OfficeApplication.h"

#include <QMap>
#include <QStringList>
#include <memory>

namespace quillet::testing {

struct FakeShapeScript
{
    bool givesPicture = true;
};

struct FakeDocumentScript
{
    std::vector<CharPosition> pageLengths{10}; // characters on each page, first page first
    std::vector<FakeShapeScript> floating;
    std::vector<FakeShapeScript> inlineShapes;
    int lists = 0;
};

// What the fake's pictures hold, so tests can tell which page or shape a file came from.
QByteArray fakePagePicture(const QString& path, int pageNumber);
QByteArray fakeShapePicture(const QString& path, int shapeNumber);

// A failure number that makes the scripted operation throw a type that is no std::exception, as an
// office's own API may.
constexpr long ForeignFailure = -1;
struct ForeignOfficeException
{
    QString message;
};

class FakeOffice : public OfficeEngine
{
public:
    FakeOffice();
    ~FakeOffice() override;

    void addDocument(const QString& path, FakeDocumentScript script);
    // Makes an operation fail: every call when occurrence is 0, else only its occurrence-th call
    // (counted from 1 over the fake's whole life). Operation names are those of calls().
    void failOn(const QString& operation, long number, const QString& description, int occurrence = 0);
    void setVersion(const QString& version);

    std::unique_ptr<OfficeApplication> CreateApplication() override;

    // Every operation called so far, in order: "CreateApplication", "Version",
    // "Options.CheckGrammarAsYouType", "Options.CheckGrammarWithSpelling", "Documents.Open",
    // "Lists", "List.ConvertNumbersToText", "Document.Select", "Selection.Start", "Selection.End",
    // "Selection.Collapse", "Browser.Target", "Browser.Next", "Document.Range", "Range.Copy",
    // "Shapes", "InlineShapes", "Shape.Select", "Selection.Copy", "Document.Close", "Quit".
    QStringList calls() const;
    int count(const QString& operation) const;
    // Applications created and not yet quit; documents opened and not yet closed.
    int liveApplications() const;
    int openDocuments() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace quillet::testing
