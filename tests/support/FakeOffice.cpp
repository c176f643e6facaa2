#include "support/FakeOffice.h"

#include "engine/EngineError.h"

#include <QBuffer>
#include <QImage>
#include <functional>
#include <numeric>

namespace quillet::testing {

QByteArray FakePicture(const QString& path, int number)
{
    return (path + QLatin1Char('#') + QString::number(number)).toUtf8();
}

void FakeOffice::call(const QString& name)
{
    struct ForeignOfficeException
    {
        QString description;
    };
    m_calls << name;
    for (const auto& [number, description, occurrence] : m_failures.values(name)) {
        if (occurrence != 0 && occurrence != m_calls.count(name))
            continue;
        if (number == ForeignFailure)
            throw ForeignOfficeException{description};
        throw EngineError(number, description);
    }
}

namespace {

// A range, shape or list: its one operation does `act`.
class FakeItem : public OfficeRange, public OfficeShape, public OfficeList
{
public:
    explicit FakeItem(std::function<void()> act) : m_act(std::move(act)) {}
    void Copy() override { m_act(); }
    void Select() override { m_act(); }
    void ConvertNumbersToText() override { m_act(); }

private:
    std::function<void()> m_act;
};

} // namespace

// The application with its options, documents, selection and page browser in one; the selection
// belongs to the document opened last, as in the office.
class FakeOffice::App : public OfficeApplication,
                        OfficeOptions,
                        OfficeDocuments,
                        OfficeSelection,
                        OfficeBrowser
{
public:
    explicit App(FakeOffice& office) : m_office(office) { ++m_office.m_liveApplications; }
    ~App() override { m_office.m_liveApplications -= !std::exchange(m_quit, true); }

    QString Version() override { return record("Version", m_office.m_version); }
    OfficeOptions& Options() override { return *this; }
    OfficeDocuments& Documents() override { return *this; }
    OfficeSelection& Selection() override { return *this; }
    OfficeBrowser& Browser() override { return *this; }
    PictureSlot& Clipboard() override { return m_clipboard; }
    // A white picture of the size asked for.
    Picture RenderPicture(const QString&, QSize pixelSize) override
    {
        QImage image(record("RenderPicture", pixelSize), QImage::Format_RGB32);
        image.fill(Qt::white);
        QByteArray png;
        QBuffer buffer(&png);
        image.save(&buffer, "PNG");
        return {png, QStringLiteral("png")};
    }
    void Quit() override { m_office.m_liveApplications -= !std::exchange(m_quit, record("Quit", true)); }

    void setCheckGrammarAsYouType(bool) override { record("Options.CheckGrammarAsYouType"); }
    void setCheckGrammarWithSpelling(bool) override { record("Options.CheckGrammarWithSpelling"); }
    std::unique_ptr<OfficeDocument> Open(const QString& path) override;

    CharPosition Start() override { return record("Selection.Start", m_start); }
    CharPosition End() override { return record("Selection.End", m_end); }
    void Collapse(int direction) override
    {
        record("Selection.Collapse");
        direction == CollapseStart ? m_end = m_start : m_start = m_end;
    }
    void Copy() override { m_clipboard.put(record("Selection.Copy", m_selectedShape)); }

    void setTarget(int) override { record("Browser.Target"); }
    // To the start of the page after the insertion point; no move on the last page.
    void Next() override
    {
        record("Browser.Next");
        CharPosition pageStart = 0;
        for (std::size_t i = 0; i + 1 < m_pages.size() && pageStart <= m_start; ++i)
            pageStart += m_pages[i];
        if (pageStart > m_start)
            m_start = m_end = pageStart;
    }

private:
    friend class Document;
    template <class T = int> T record(const QString& call, T value = {})
    {
        m_office.call(call);
        return value;
    }
    CharPosition documentEnd() const { return std::accumulate(m_pages.begin(), m_pages.end(), 0); }

    FakeOffice& m_office;
    bool m_quit = false;
    PictureSlot m_clipboard;
    Picture m_selectedShape;
    std::vector<CharPosition> m_pages; // of the document opened last
    CharPosition m_start = 0;
    CharPosition m_end = 0;
};

class FakeOffice::Document : public OfficeDocument
{
public:
    Document(App& app, QString path, FakeDocumentScript script)
        : m_app(app), m_path(std::move(path)), m_script(std::move(script))
    {
        ++m_app.m_office.m_openDocuments;
        m_app.m_pages = m_script.pageLengths;
        m_app.m_start = m_app.m_end = 0;
    }
    ~Document() override { m_app.m_office.m_openDocuments -= !std::exchange(m_closed, true); }

    std::vector<std::unique_ptr<OfficeList>> Lists() override
    {
        std::vector<std::unique_ptr<OfficeList>> lists(m_app.record("Lists", m_script.lists));
        for (auto& list : lists)
            list = std::make_unique<FakeItem>([&app = m_app] { app.record("List.ConvertNumbersToText"); });
        return lists;
    }
    void Select() override
    {
        m_app.m_start = 0;
        m_app.m_end = m_app.record("Document.Select", m_app.documentEnd());
    }
    // A copy of exactly one page delivers that page's picture; of anything else, nothing.
    std::unique_ptr<OfficeRange> Range(CharPosition start, CharPosition end) override
    {
        m_app.record("Document.Range");
        Picture picture;
        CharPosition pageStart = 0;
        for (std::size_t i = 0; i < m_script.pageLengths.size(); pageStart += m_script.pageLengths[i++]) {
            if (pageStart == start && pageStart + m_script.pageLengths[i] == end)
                picture = {FakePicture(m_path, static_cast<int>(i) + 1), QStringLiteral("emf")};
        }
        return std::make_unique<FakeItem>(
            [&app = m_app, picture] { app.m_clipboard.put(app.record("Range.Copy", picture)); });
    }
    std::vector<std::unique_ptr<OfficeShape>> Shapes() override
    {
        return shapes(m_app.record("Shapes", m_script.floating), 1);
    }
    std::vector<std::unique_ptr<OfficeShape>> InlineShapes() override
    {
        return shapes(m_app.record("InlineShapes", m_script.inlineShapes), int(m_script.floating.size()) + 1);
    }
    void Close(bool) override
    {
        m_app.m_office.m_openDocuments -= !std::exchange(m_closed, m_app.record("Document.Close", true));
    }

private:
    std::vector<std::unique_ptr<OfficeShape>> shapes(const std::vector<bool>& givesPicture, int first)
    {
        std::vector<std::unique_ptr<OfficeShape>> shapes;
        for (std::size_t i = 0; i < givesPicture.size(); ++i) {
            const Picture picture{givesPicture[i] ? FakePicture(m_path, first + int(i)) : QByteArray(),
                                  "bmp"};
            shapes.push_back(std::make_unique<FakeItem>(
                [&app = m_app, picture] { app.m_selectedShape = app.record("Shape.Select", picture); }));
        }
        return shapes;
    }

    App& m_app;
    QString m_path;
    FakeDocumentScript m_script;
    bool m_closed = false;
};

std::unique_ptr<OfficeDocument> FakeOffice::App::Open(const QString& path)
{
    record("Documents.Open");
    if (!m_office.m_documents.contains(path))
        throw EngineError(ErrorNumber::FileNotFound, QStringLiteral("找不到文件“%1”。").arg(path));
    return std::make_unique<Document>(*this, path, m_office.m_documents.value(path));
}

std::unique_ptr<OfficeApplication> FakeOffice::CreateApplication()
{
    call("CreateApplication");
    return std::make_unique<App>(*this);
}

} // namespace quillet::testing
