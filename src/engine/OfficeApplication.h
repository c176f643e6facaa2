#pragma once

// The office engine's object model, shaped like the automation calls the jobs make:
//
//   app->Documents().Open(path)  -> document
//   document->Lists()[i]->ConvertNumbersToText()
//   document->Select(); app->Selection().Start() / End() / Collapse(CollapseStart)
//   app->Browser().setTarget(BrowseByPage); app->Browser().Next()
//   document->Range(start, end)->Copy()            -> a page picture in app->Clipboard()
//   document->Shapes()[i]->Select(); app->Selection().Copy()   -> an object picture
//   document->Close(false); app->Quit()
//
// Every operation may throw EngineError. Backends: LibreOffice (UNO) now, others later,
// and a scripted fake for tests.

#include "engine/Picture.h"

#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillet {

// A position in a document, as the backend hands them out: ordered, compared and handed back, never
// computed on.
using CharPosition = std::int32_t;

constexpr int CollapseStart = 1; // Selection.Collapse direction: to the start
constexpr int BrowseByPage = 1;  // Browser.Target: page moves

class OfficeRange
{
public:
    virtual ~OfficeRange() = default;
    // Leaves a picture of this stretch of the document in the application's picture slot.
    virtual void Copy() = 0;
};

// A drawing object: floating (Shapes) or in-line (InlineShapes).
class OfficeShape
{
public:
    virtual ~OfficeShape() = default;
    // Makes this object the application's selection.
    virtual void Select() = 0;
};

class OfficeList
{
public:
    virtual ~OfficeList() = default;
    virtual void ConvertNumbersToText() = 0;
};

class OfficeDocument
{
public:
    virtual ~OfficeDocument() = default;

    virtual std::vector<std::unique_ptr<OfficeList>> Lists() = 0;
    // Selects the whole main text.
    virtual void Select() = 0;
    virtual std::unique_ptr<OfficeRange> Range(CharPosition start, CharPosition end) = 0;
    // Floating drawing objects, in the document's order.
    virtual std::vector<std::unique_ptr<OfficeShape>> Shapes() = 0;
    // In-line drawing objects, in the document's order.
    virtual std::vector<std::unique_ptr<OfficeShape>> InlineShapes() = 0;
    // Closes the document; the file is never written when saveChanges is false.
    virtual void Close(bool saveChanges) = 0;
};

// The application's selection, which belongs to the document opened last.
class OfficeSelection
{
public:
    virtual ~OfficeSelection() = default;
    virtual CharPosition Start() = 0;
    virtual CharPosition End() = 0;
    virtual void Collapse(int direction) = 0;
    // Leaves a picture of the selected object in the application's picture slot.
    virtual void Copy() = 0;
};

class OfficeBrowser
{
public:
    virtual ~OfficeBrowser() = default;
    virtual void setTarget(int target) = 0;
    // Moves the insertion point to the start of the next page; on the last page it does not move.
    virtual void Next() = 0;
};

class OfficeOptions
{
public:
    virtual ~OfficeOptions() = default;
    virtual void setCheckGrammarAsYouType(bool on) = 0;
    virtual void setCheckGrammarWithSpelling(bool on) = 0;
};

class OfficeDocuments
{
public:
    virtual ~OfficeDocuments() = default;
    // Opens a document hidden and read-only; refuses what is not a word-processor document.
    virtual std::unique_ptr<OfficeDocument> Open(const QString& path) = 0;
};

class OfficeApplication
{
public:
    virtual ~OfficeApplication() = default;

    // Version of the word-processor formats the engine opens, as "major.minor" ("16.0").
    virtual QString Version() = 0;
    virtual OfficeOptions& Options() = 0;
    virtual OfficeDocuments& Documents() = 0;
    virtual OfficeSelection& Selection() = 0;
    virtual OfficeBrowser& Browser() = 0;
    // Where Copy operations leave their picture.
    virtual PictureSlot& Clipboard() = 0;
    // A picture file the engine draws (EMF) as a PNG picture of pixelSize.
    virtual Picture RenderPicture(const QString& path, QSize pixelSize) = 0;
    // Ends the engine. Safe to call more than once; the destructor quits too.
    virtual void Quit() = 0;
};

// Creates application objects; the window and the jobs hold one of these, not a backend.
class OfficeEngine
{
public:
    virtual ~OfficeEngine() = default;
    // Throws EngineError (EngineUnavailable) when the engine is not installed or cannot start.
    virtual std::unique_ptr<OfficeApplication> CreateApplication() = 0;
};

} // namespace quillet
