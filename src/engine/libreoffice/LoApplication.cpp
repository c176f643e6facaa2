#include "engine/libreoffice/DocumentLoading_p.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "engine/libreoffice/LoDocument_p.h"
#include "engine/libreoffice/LoGraphicExport_p.h"

#include <QDir>
#include <algorithm>

namespace quillet::lo {

namespace {

EngineError noDocument()
{
    return EngineError(ErrorNumber::NoDocument, QStringLiteral("没有打开的文档。"));
}

} // namespace

struct LoApplication::Entry
{
    LoApplication* application;
    std::unique_ptr<LoDocument> document; // empty once closed
};

// What Documents().Open() hands out: forwards to the document while the application keeps it.
class DocumentHandle : public OfficeDocument
{
public:
    explicit DocumentHandle(std::shared_ptr<LoApplication::Entry> entry) : m_entry(std::move(entry)) {}
    ~DocumentHandle() override
    {
        if (m_entry->application)
            m_entry->application->release(m_entry);
    }

    std::vector<std::unique_ptr<OfficeList>> Lists() override { return document().Lists(); }
    void Select() override { document().Select(); }
    std::unique_ptr<OfficeRange> Range(CharPosition start, CharPosition end) override
    {
        return document().Range(start, end);
    }
    std::vector<std::unique_ptr<OfficeShape>> Shapes() override { return document().Shapes(); }
    std::vector<std::unique_ptr<OfficeShape>> InlineShapes() override { return document().InlineShapes(); }
    void Close(bool saveChanges) override
    {
        LoDocument& open = document();
        try {
            open.Close(saveChanges);
        } catch (const EngineError&) {
            m_entry->application->release(m_entry);
            throw;
        }
        m_entry->application->release(m_entry);
    }

private:
    LoDocument& document()
    {
        if (!m_entry->application || !m_entry->document)
            throw EngineError(ErrorNumber::NoDocument, QStringLiteral("文档已经关闭。"));
        return *m_entry->document;
    }

    std::shared_ptr<LoApplication::Entry> m_entry;
};

LoApplication::LoApplication(SessionSettings settings) : m_session(std::move(settings)) {}

LoApplication::~LoApplication()
{
    Quit();
}

QString LoApplication::Version()
{
    return QStringLiteral("16.0");
}

OfficeSelection& LoApplication::Selection()
{
    return active().selection();
}

OfficeBrowser& LoApplication::Browser()
{
    return active().browser();
}

LoDocument& LoApplication::active()
{
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it) {
        if ((*it)->document && !(*it)->document->isClosed())
            return *(*it)->document;
    }
    throw noDocument();
}

std::unique_ptr<OfficeDocument> LoApplication::Open(const QString& path)
{
    if (m_quit)
        throw EngineError(ErrorNumber::EngineUnavailable, QStringLiteral("LibreOffice已经退出。"));
    restartIfDue();
    m_session.ensureStarted();
    if (m_session.starts() != m_officeStarts) {
        // A fresh office (first use, a restart, or after the last one ended): documents still held
        // belong to the one that is gone.
        m_officeStarts = m_session.starts();
        m_documentsOnThisOffice = 0;
        closeAll();
    }
    auto component = loadWordProcessorDocument(m_session, path);
    ++m_documentsOnThisOffice;
    auto entry = std::make_shared<Entry>();
    entry->application = this;
    try {
        // Taking the document's interfaces asks the office: under the deadline like every call.
        entry->document = m_session.guarded(m_session.deadlineFor(0), [&] {
            return std::make_unique<LoDocument>(m_session, component, m_slot);
        });
    } catch (const EngineError&) {
        discardDocument(m_session, component);
        throw;
    }
    m_open.push_back(entry);
    return std::make_unique<DocumentHandle>(entry);
}

Picture LoApplication::RenderPicture(const QString& path, QSize pixelSize)
{
    if (m_quit)
        throw EngineError(ErrorNumber::EngineUnavailable, QStringLiteral("LibreOffice已经退出。"));
    if (!m_workDir)
        m_workDir =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quillet-render-XXXXXX"));
    if (!m_workDir->isValid())
        throw EngineError(ErrorNumber::PathAccess, QStringLiteral("无法创建临时文件夹。"));
    m_session.ensureStarted();
    const QByteArray png = m_session.guarded(m_session.deadlineFor(1), [&] {
        return renderPictureFile(m_session.runningDesktop(), m_session.runningContext(), path, pixelSize,
                                 m_workDir->path());
    });
    return {png, QStringLiteral("png")};
}

int LoApplication::openDocuments() const
{
    return static_cast<int>(std::count_if(m_open.begin(), m_open.end(), [](const auto& entry) {
        return entry->document && !entry->document->isClosed();
    }));
}

void LoApplication::restartIfDue()
{
    const int limit = m_session.settings().restartAfterDocuments;
    if (limit > 0 && m_documentsOnThisOffice >= limit && openDocuments() == 0 && m_session.running())
        m_session.stop();
}

void LoApplication::release(const std::shared_ptr<Entry>& entry)
{
    // LoDocument closes quietly when destroyed.
    entry->document.reset();
    entry->application = nullptr;
    m_open.erase(std::remove(m_open.begin(), m_open.end(), entry), m_open.end());
}

void LoApplication::closeAll()
{
    const auto entries = m_open;
    for (const auto& entry : entries)
        release(entry);
}

void LoApplication::Quit()
{
    closeAll();
    m_session.stop();
    m_quit = true;
}

} // namespace quillet::lo
