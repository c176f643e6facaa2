#pragma once

// A scripted office engine for tests: documents are described by their page lengths and shapes, and
// any call can be made to fail. The engine outlives its applications, and they their documents.
// Applications may run on threads of their own.

#include "engine/EngineError.h"
#include "engine/OfficeApplication.h"

#include <QBuffer>
#include <QImage>
#include <QMap>
#include <QStringList>
#include <atomic>
#include <functional>
#include <mutex>
#include <numeric>
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
inline QByteArray FakePicture(const QString& path, int number)
{
    return (path + '#' + QString::number(number)).toUtf8();
}

// A failure number that makes the call throw a type that is no std::exception, as an office's API may.
constexpr long ForeignFailure = -1;

class FakeOffice : public OfficeEngine
{
public:
    void addDocument(const QString& path, const FakeDocumentScript& script) { documents[path] = script; }
    // Makes a call fail: every time when occurrence is 0, else only its occurrence-th time.
    void failOn(const QString& call, long number, const QString& description, int occurrence = 0)
    {
        m_failures.insert(call, {number, description, occurrence});
    }
    void setVersion(const QString& text) { version = text; }
    std::unique_ptr<OfficeApplication> CreateApplication() override;

    // Every call so far, in order, named after the interface ("Documents.Open", "Range.Copy"...).
    QStringList calls() const
    {
        const std::lock_guard lock(m_mutex);
        return m_calls;
    }
    int liveApplications() const { return applications; } // not yet destroyed

    // Records the call and returns `value`; throws when a failure is scripted for it.
    template <class T = int> T record(const QString& call, T value = {})
    {
        const std::lock_guard lock(m_mutex);
        m_calls << call;
        for (const auto& [number, description, occurrence] : m_failures.values(call))
            if (occurrence == 0 || occurrence == m_calls.count(call))
                number == ForeignFailure ? throw description : throw EngineError(number, description);
        return value;
    }

    QMap<QString, FakeDocumentScript> documents;
    QString version = "16.0";
    std::atomic<int> applications = 0;
    int created = 0; // applications made so far, which numbers them from 1
    // An application starts its office at its first Open, and again after every restartAfter
    // documents (0: never). Each start is the call "Start", then onStart(application, start of that
    // application), both numbered from 1; either may throw.
    int restartAfter = 0;
    std::function<void(int application, int start)> onStart;
    std::function<void(const QByteArray& picture)> onPageWrite; // on the job's saving thread

private:
    mutable std::mutex m_mutex;
    QMultiMap<QString, std::tuple<long, QString, int>> m_failures; // number, description, occurrence
    QStringList m_calls;
};

// A range, shape or list: its one operation does `act`.
struct FakeItem : OfficeRange, OfficeShape, OfficeList
{
    explicit FakeItem(std::function<void()> act) : act(std::move(act)) {}
    void Copy() override { act(); }
    void Select() override { act(); }
    void ConvertNumbersToText() override { act(); }
    std::function<void()> act;
};

// The application with its options, documents, selection and page browser in one; the selection
// belongs to the document opened last, as in the office.
class FakeApp : public OfficeApplication, OfficeOptions, OfficeDocuments, OfficeSelection, OfficeBrowser
{
public:
    explicit FakeApp(FakeOffice& engine) : office(engine), number(++office.created) { ++office.applications; }
    ~FakeApp() override { --office.applications; }

    QString Version() override { return office.record("Version", office.version); }
    OfficeOptions& Options() override { return *this; }
    OfficeDocuments& Documents() override { return *this; }
    OfficeSelection& Selection() override { return *this; }
    OfficeBrowser& Browser() override { return *this; }
    PictureSlot& Clipboard() override { return clipboard; }
    // A white picture of the size asked for.
    Picture RenderPicture(const QString&, QSize pixelSize) override
    {
        QImage image(office.record("RenderPicture", pixelSize), QImage::Format_RGB32);
        image.fill(Qt::white);
        QByteArray png;
        QBuffer buffer(&png);
        image.save(&buffer, "PNG");
        return {png, "png"};
    }
    void Quit() override { office.record("Quit"); }

    void setCheckGrammarAsYouType(bool) override { office.record("Options.CheckGrammarAsYouType"); }
    void setCheckGrammarWithSpelling(bool) override { office.record("Options.CheckGrammarWithSpelling"); }
    std::unique_ptr<OfficeDocument> Open(const QString& path) override;

    CharPosition Start() override { return office.record("Selection.Start", start); }
    CharPosition End() override { return office.record("Selection.End", end); }
    void Collapse(int direction) override
    {
        office.record("Selection.Collapse");
        direction == CollapseStart ? end = start : start = end;
    }
    void Copy() override { clipboard.put(office.record("Selection.Copy", selectedShape)); }

    void setTarget(int) override { office.record("Browser.Target"); }
    // To the start of the page after the insertion point; no move on the last page.
    void Next() override
    {
        CharPosition pageStart = office.record("Browser.Next", 0);
        for (std::size_t i = 0; i + 1 < pages.size() && pageStart <= start; ++i)
            pageStart += pages[i];
        if (pageStart > start)
            start = end = pageStart;
    }

    // An item whose operation is recorded as `call`, then does `act`.
    std::unique_ptr<FakeItem> item(const QString& call, const std::function<void(FakeApp&)>& act)
    {
        return std::make_unique<FakeItem>([this, call, act] { office.record(call), act(*this); });
    }

    FakeOffice& office;
    const int number;
    bool running = false; // this application's office
    int starts = 0, documentsOnOffice = 0;
    PictureSlot clipboard;
    Picture selectedShape;
    std::vector<CharPosition> pages; // of the document opened last
    CharPosition start = 0, end = 0;
};

class FakeDocument : public OfficeDocument
{
    using ShapeList = std::vector<std::unique_ptr<OfficeShape>>;

public:
    FakeDocument(FakeApp& app, const QString& path) : m_app(app), m_office(app.office), m_path(path)
    {
        app.pages = m_script.pageLengths;
        app.start = app.end = 0;
    }

    std::vector<std::unique_ptr<OfficeList>> Lists() override
    {
        std::vector<std::unique_ptr<OfficeList>> lists(m_office.record("Lists", m_script.lists));
        for (auto& list : lists)
            list = m_app.item("List.ConvertNumbersToText", [](FakeApp&) {});
        return lists;
    }
    void Select() override
    {
        m_app.start = 0;
        m_app.end =
            m_office.record("Document.Select", std::accumulate(m_app.pages.begin(), m_app.pages.end(), 0));
    }
    // A copy of exactly one page delivers that page's picture, still being written as the office's
    // are: its writing is onPageWrite(picture's bytes), then the call "Page.Write". Of anything else,
    // nothing.
    std::unique_ptr<OfficeRange> Range(CharPosition start, CharPosition end) override
    {
        Picture picture;
        CharPosition pageStart = m_office.record("Document.Range", 0);
        for (std::size_t i = 0; i < m_script.pageLengths.size(); pageStart += m_script.pageLengths[i++]) {
            if (pageStart == start && pageStart + m_script.pageLengths[i] == end) {
                picture.format = "emf";
                picture.pending = [&office = m_office, bytes = FakePicture(m_path, int(i) + 1)] {
                    if (office.onPageWrite)
                        office.onPageWrite(bytes);
                    return office.record("Page.Write", bytes);
                };
            }
        }
        return m_app.item("Range.Copy", [picture](FakeApp& app) { app.clipboard.put(picture); });
    }
    ShapeList Shapes() override { return shapes("Shapes", m_script.floating); }
    ShapeList InlineShapes() override { return shapes("InlineShapes", m_script.inlineShapes); }
    void Close(bool) override { m_office.record("Document.Close"); }

private:
    // Numbered on from the floating ones.
    ShapeList shapes(const QString& call, const std::vector<bool>& pictures)
    {
        ShapeList shapes;
        const int first = call == "Shapes" ? 1 : int(m_script.floating.size()) + 1;
        for (const bool givesPicture : m_office.record(call, pictures)) {
            const Picture picture{givesPicture ? FakePicture(m_path, first + int(shapes.size())) : "", "bmp"};
            shapes.push_back(
                m_app.item("Shape.Select", [picture](FakeApp& app) { app.selectedShape = picture; }));
        }
        return shapes;
    }

    FakeApp& m_app;
    FakeOffice& m_office;
    QString m_path;
    FakeDocumentScript m_script = m_office.documents.value(m_path);
};

inline std::unique_ptr<OfficeDocument> FakeApp::Open(const QString& path)
{
    if (!running || (office.restartAfter > 0 && documentsOnOffice >= office.restartAfter)) {
        running = false;
        documentsOnOffice = 0;
        const int start = ++starts;
        office.record("Start");
        if (office.onStart)
            office.onStart(number, start);
        running = true;
    }
    ++documentsOnOffice;
    if (!office.record("Documents.Open", office.documents.contains(path)))
        throw EngineError(ErrorNumber::FileNotFound, QString("找不到文件“%1”。").arg(path));
    return std::make_unique<FakeDocument>(*this, path);
}

inline std::unique_ptr<OfficeApplication> FakeOffice::CreateApplication()
{
    record("CreateApplication");
    return std::make_unique<FakeApp>(*this);
}

} // namespace quillet::testing
