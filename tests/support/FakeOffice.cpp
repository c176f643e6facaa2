#include "support/FakeOffice.h"

#include "engine/EngineError.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>

namespace quillet::testing {

struct Failure
{
    long number;
    QString description;
    int occurrence;
};

struct FakeOffice::State
{
    QMap<QString, FakeDocumentScript> documents;
    QMultiMap<QString, Failure> failures;
    QStringList calls;
    QString version = QStringLiteral("16.0");
    int liveApplications = 0;
    int openDocuments = 0;

    // Records the call and throws when a failure is scripted for it.
    void call(const QString& operation)
    {
        calls << operation;
        const int nth = static_cast<int>(calls.count(operation));
        for (auto it = failures.constFind(operation); it != failures.cend() && it.key() == operation; ++it) {
            if (it->occurrence != 0 && it->occurrence != nth)
                continue;
            if (it->number == ForeignFailure)
                throw ForeignOfficeException{it->description};
            throw EngineError(it->number, it->description);
        }
    }
};

QByteArray fakePagePicture(const QString& path, int pageNumber)
{
    return QStringLiteral("EMF page %1 of %2").arg(pageNumber).arg(path).toUtf8();
}

QByteArray fakeShapePicture(const QString& path, int shapeNumber)
{
    return QStringLiteral("BMP shape %1 of %2").arg(shapeNumber).arg(path).toUtf8();
}

namespace {

using StatePtr = std::shared_ptr<FakeOffice::State>;

class FakeApplication;

class FakeRange : public OfficeRange
{
public:
    FakeRange(StatePtr state, FakeApplication& app, QString path, int pageNumber)
        : m_state(std::move(state)), m_app(app), m_path(std::move(path)), m_pageNumber(pageNumber)
    {}
    void Copy() override;

private:
    StatePtr m_state;
    FakeApplication& m_app;
    QString m_path;
    int m_pageNumber; // 0 when the range is not exactly one page
};

class FakeShape : public OfficeShape
{
public:
    FakeShape(StatePtr state, FakeApplication& app, QString path, int number, bool givesPicture)
        : m_state(std::move(state)), m_app(app), m_path(std::move(path)), m_number(number),
          m_givesPicture(givesPicture)
    {}
    void Select() override;

private:
    StatePtr m_state;
    FakeApplication& m_app;
    QString m_path;
    int m_number;
    bool m_givesPicture;
};

class FakeList : public OfficeList
{
public:
    explicit FakeList(StatePtr state) : m_state(std::move(state)) {}
    void ConvertNumbersToText() override { m_state->call(QStringLiteral("List.ConvertNumbersToText")); }

private:
    StatePtr m_state;
};

class FakeDocument;

class FakeApplication : public OfficeApplication,
                        OfficeOptions,
                        OfficeDocuments,
                        OfficeSelection,
                        OfficeBrowser
{
public:
    explicit FakeApplication(StatePtr state) : m_state(std::move(state)) { ++m_state->liveApplications; }
    ~FakeApplication() override { quitQuietly(); }

    QString Version() override
    {
        m_state->call(QStringLiteral("Version"));
        return m_state->version;
    }
    OfficeOptions& Options() override { return *this; }
    OfficeDocuments& Documents() override { return *this; }
    OfficeSelection& Selection() override { return *this; }
    OfficeBrowser& Browser() override { return *this; }
    PictureSlot& Clipboard() override { return m_slot; }
    Picture RenderPicture(const QString& path, QSize pixelSize) override;
    void Quit() override
    {
        m_state->call(QStringLiteral("Quit"));
        quitQuietly();
    }

    void setCheckGrammarAsYouType(bool) override
    {
        m_state->call(QStringLiteral("Options.CheckGrammarAsYouType"));
    }
    void setCheckGrammarWithSpelling(bool) override
    {
        m_state->call(QStringLiteral("Options.CheckGrammarWithSpelling"));
    }

    std::unique_ptr<OfficeDocument> Open(const QString& path) override;

    CharPosition Start() override
    {
        m_state->call(QStringLiteral("Selection.Start"));
        return m_selectionStart;
    }
    CharPosition End() override
    {
        m_state->call(QStringLiteral("Selection.End"));
        return m_selectionEnd;
    }
    void Collapse(int direction) override
    {
        m_state->call(QStringLiteral("Selection.Collapse"));
        if (direction == CollapseStart)
            m_selectionEnd = m_selectionStart;
        else
            m_selectionStart = m_selectionEnd;
    }
    void Copy() override
    {
        m_state->call(QStringLiteral("Selection.Copy"));
        m_slot.clear();
        if (m_selectedShape > 0 && m_selectedShapeGivesPicture)
            m_slot.put({fakeShapePicture(m_activePath, m_selectedShape), QStringLiteral("bmp")});
    }

    void setTarget(int) override { m_state->call(QStringLiteral("Browser.Target")); }
    void Next() override
    {
        m_state->call(QStringLiteral("Browser.Next"));
        // To the start of the page after the one holding the insertion point; no move on the last.
        CharPosition pageStart = 0;
        for (CharPosition length : m_pages) {
            pageStart += length;
            if (pageStart > m_selectionStart && pageStart < m_documentEnd) {
                m_selectionStart = m_selectionEnd = pageStart;
                return;
            }
        }
    }

    // Called by the fake document.
    void activate(const QString& path, const std::vector<CharPosition>& pages)
    {
        m_activePath = path;
        m_pages = pages;
        m_documentEnd = 0;
        for (CharPosition length : pages)
            m_documentEnd += length;
        m_selectionStart = m_selectionEnd = 0;
        m_selectedShape = 0;
    }
    void selectAll() { m_selectionStart = 0, m_selectionEnd = m_documentEnd; }
    void selectShape(int number, bool givesPicture)
    {
        m_selectedShape = number;
        m_selectedShapeGivesPicture = givesPicture;
    }
    int pageAt(CharPosition start, CharPosition end) const
    {
        CharPosition pageStart = 0;
        for (std::size_t i = 0; i < m_pages.size(); ++i) {
            if (pageStart == start && pageStart + m_pages[i] == end)
                return static_cast<int>(i) + 1;
            pageStart += m_pages[i];
        }
        return 0;
    }
    PictureSlot& slot() { return m_slot; }

private:
    void quitQuietly()
    {
        if (!m_quit) {
            m_quit = true;
            --m_state->liveApplications;
        }
    }

    StatePtr m_state;
    PictureSlot m_slot;
    bool m_quit = false;
    QString m_activePath;
    std::vector<CharPosition> m_pages;
    CharPosition m_documentEnd = 0;
    CharPosition m_selectionStart = 0;
    CharPosition m_selectionEnd = 0;
    int m_selectedShape = 0;
    bool m_selectedShapeGivesPicture = false;
};

void FakeRange::Copy()
{
    m_state->call(QStringLiteral("Range.Copy"));
    m_app.slot().clear();
    if (m_pageNumber > 0)
        m_app.slot().put({fakePagePicture(m_path, m_pageNumber), QStringLiteral("emf")});
}

void FakeShape::Select()
{
    m_state->call(QStringLiteral("Shape.Select"));
    m_app.selectShape(m_number, m_givesPicture);
}

class FakeDocument : public OfficeDocument
{
public:
    FakeDocument(StatePtr state, FakeApplication& app, QString path, FakeDocumentScript script)
        : m_state(std::move(state)), m_app(app), m_path(std::move(path)), m_script(std::move(script))
    {
        ++m_state->openDocuments;
        m_app.activate(m_path, m_script.pageLengths);
    }
    ~FakeDocument() override { closeQuietly(); }

    std::vector<std::unique_ptr<OfficeList>> Lists() override
    {
        m_state->call(QStringLiteral("Lists"));
        std::vector<std::unique_ptr<OfficeList>> lists;
        for (int i = 0; i < m_script.lists; ++i)
            lists.push_back(std::make_unique<FakeList>(m_state));
        return lists;
    }
    void Select() override
    {
        m_state->call(QStringLiteral("Document.Select"));
        m_app.selectAll();
    }
    std::unique_ptr<OfficeRange> Range(CharPosition start, CharPosition end) override
    {
        m_state->call(QStringLiteral("Document.Range"));
        return std::make_unique<FakeRange>(m_state, m_app, m_path, m_app.pageAt(start, end));
    }
    std::vector<std::unique_ptr<OfficeShape>> Shapes() override
    {
        m_state->call(QStringLiteral("Shapes"));
        return makeShapes(m_script.floating, 0);
    }
    std::vector<std::unique_ptr<OfficeShape>> InlineShapes() override
    {
        m_state->call(QStringLiteral("InlineShapes"));
        return makeShapes(m_script.inlineShapes, static_cast<int>(m_script.floating.size()));
    }
    void Close(bool) override
    {
        m_state->call(QStringLiteral("Document.Close"));
        closeQuietly();
    }

private:
    std::vector<std::unique_ptr<OfficeShape>> makeShapes(const std::vector<FakeShapeScript>& scripts,
                                                         int first)
    {
        std::vector<std::unique_ptr<OfficeShape>> shapes;
        for (const FakeShapeScript& script : scripts)
            shapes.push_back(
                std::make_unique<FakeShape>(m_state, m_app, m_path, ++first, script.givesPicture));
        return shapes;
    }
    void closeQuietly()
    {
        if (!m_closed) {
            m_closed = true;
            --m_state->openDocuments;
        }
    }

    StatePtr m_state;
    FakeApplication& m_app;
    QString m_path;
    FakeDocumentScript m_script;
    bool m_closed = false;
};

std::unique_ptr<OfficeDocument> FakeApplication::Open(const QString& path)
{
    m_state->call(QStringLiteral("Documents.Open"));
    const auto it = m_state->documents.constFind(path);
    if (it == m_state->documents.cend())
        throw EngineError(ErrorNumber::FileNotFound, QStringLiteral("找不到文件“%1”。").arg(path));
    return std::make_unique<FakeDocument>(m_state, *this, path, *it);
}

} // namespace

FakeOffice::FakeOffice() : m_state(std::make_shared<State>()) {}
FakeOffice::~FakeOffice() = default;

void FakeOffice::addDocument(const QString& path, FakeDocumentScript script)
{
    m_state->documents.insert(path, std::move(script));
}

void FakeOffice::failOn(const QString& operation, long number, const QString& description, int occurrence)
{
    m_state->failures.insert(operation, Failure{number, description, occurrence});
}

void FakeOffice::setVersion(const QString& version)
{
    m_state->version = version;
}

std::unique_ptr<OfficeApplication> FakeOffice::CreateApplication()
{
    m_state->call(QStringLiteral("CreateApplication"));
    return std::make_unique<FakeApplication>(m_state);
}

QStringList FakeOffice::calls() const
{
    return m_state->calls;
}
int FakeOffice::count(const QString& operation) const
{
    return static_cast<int>(m_state->calls.count(operation));
}
int FakeOffice::liveApplications() const
{
    return m_state->liveApplications;
}
int FakeOffice::openDocuments() const
{
    return m_state->openDocuments;
}

// A white picture of the size asked for.
Picture FakeApplication::RenderPicture(const QString&, QSize pixelSize)
{
    m_state->call(QStringLiteral("RenderPicture"));
    QImage image(pixelSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {png, QStringLiteral("png")};
}

} // namespace quillet::testing
