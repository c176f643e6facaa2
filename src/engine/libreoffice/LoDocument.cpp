#include "engine/libreoffice/LoDocument_p.h"
#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "engine/libreoffice/LoPageWalk_p.h"
#include "engine/libreoffice/LoShapePictures_p.h"

#include <QDir>
#include <QTemporaryDir>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <optional>

namespace quillet::lo {

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

struct LoDocument::Core
{
    Core(LibreOfficeSession& session, Reference<lang::XComponent> loaded, PictureSlot& slot)
        : session(session), office(session.starts()), component(std::move(loaded)),
          model(component, UNO_QUERY_THROW), slot(slot), walk(model)
    {}

    LibreOfficeSession& session;
    // The office start the document was opened in. Once that office is gone, every call fails with
    // what ended it (the deadline, or the office's death), so the document's one log line names
    // the cause; no later call reaches a new office. Page copies too, though the PDF they are
    // written from is on disk: the walk that finds the pages needs the office, and the document
    // has failed all the same.
    int office;
    std::optional<EngineError> lost;
    Reference<lang::XComponent> component;
    Reference<frame::XModel> model;
    PictureSlot& slot;
    LoPageWalk walk;
    LoPagePictures pages;
    std::shared_ptr<QTemporaryDir> workDir; // shared with the page pictures still being written
    std::optional<EngineError> preparationError;
    bool closed = false;

    CharPosition selectionStart = 0;
    CharPosition selectionEnd = 0;
    Reference<drawing::XShape> selectedShape;

    void requireOpen() const
    {
        if (closed)
            throw EngineError(ErrorNumber::NoDocument, QStringLiteral("文档已经关闭。"));
    }

    bool officeGone() const { return lost || session.starts() != office || !session.running(); }

    void noteIfLost(const EngineError& error)
    {
        if (error.number() == ErrorNumber::EngineDied || error.number() == ErrorNumber::EngineTimeout)
            lost = error;
    }

    void requireOffice()
    {
        requireOpen();
        if (lost)
            throw *lost;
        try {
            session.requireOffice(office);
        } catch (const EngineError& error) {
            noteIfLost(error);
            throw;
        }
    }

    template <class F> auto call(int pages, F&& work)
    {
        requireOffice();
        try {
            return session.guarded(session.deadlineFor(pages), std::forward<F>(work));
        } catch (const EngineError& error) {
            noteIfLost(error);
            throw;
        }
    }

    // Pages in the layout; the deadline of whole-document work grows with it.
    int pageCount()
    {
        return call(0, [&] { return walk.pageCount(); });
    }

    QString workPath()
    {
        if (!workDir) {
            auto dir =
                std::make_shared<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quillet-pages-XXXXXX"));
            if (!dir->isValid()) {
                throw EngineError(ErrorNumber::PathAccess,
                                  QStringLiteral("无法创建临时文件夹：%1").arg(dir->errorString()));
            }
            workDir = std::move(dir);
        }
        return workDir->path();
    }

    void copyPage(CharPosition start, CharPosition end)
    {
        slot.clear();
        requireOpen();
        const int page = walk.pageOf(start, end);
        if (page == 0)
            return;
        requireOffice();
        // The PDF copy serves every page; when it cannot be made, the other pages fail at once with
        // the same error instead of trying the whole export again.
        if (preparationError)
            throw *preparationError;
        if (!pages.prepared()) {
            try {
                const QString pdf = workPath() + QStringLiteral("/pages.pdf");
                const int count = pageCount();
                call(count, [&] { exportPagesPdf(component, pdf); });
                pages.open(pdf, session.settings().pageStyle, workDir);
            } catch (const EngineError& error) {
                if (error.number() != ErrorNumber::EngineDied && error.number() != ErrorNumber::EngineTimeout)
                    preparationError = error;
                throw;
            }
        }
        Picture picture = pages.pictureOfPage(page);
        if (!picture.isEmpty())
            slot.put(std::move(picture));
    }

    void selectShape(const Reference<drawing::XShape>& shape)
    {
        call(0, [&] {
            Reference<view::XSelectionSupplier> selection(model->getCurrentController(), UNO_QUERY_THROW);
            selection->select(uno::Any(shape));
        });
        selectedShape = shape;
    }

    void copySelection()
    {
        slot.clear();
        requireOpen();
        if (!selectedShape.is())
            return;
        const QString dir = workPath();
        const QByteArray bmp =
            call(0, [&] { return bmpOfShape(session.runningContext(), selectedShape, dir); });
        if (!bmp.isEmpty())
            slot.put({bmp, QStringLiteral("bmp")});
    }

    // A document whose office is gone has nothing left to close: that is no failure of its own.
    void close()
    {
        if (closed)
            return;
        closed = true;
        selectedShape.clear();
        pages.close();
        workDir.reset();
        if (!officeGone())
            session.guarded(session.deadlineFor(0), [&] { closeComponent(component); });
    }
};

namespace {

using CorePtr = std::shared_ptr<LoDocument::Core>;
using WeakCore = std::weak_ptr<LoDocument::Core>;

CorePtr lock(const WeakCore& core)
{
    CorePtr alive = core.lock();
    if (!alive)
        throw EngineError(ErrorNumber::NoDocument, QStringLiteral("文档已经关闭。"));
    return alive;
}

class LoPageRange : public OfficeRange
{
public:
    LoPageRange(WeakCore core, CharPosition start, CharPosition end)
        : m_core(std::move(core)), m_start(start), m_end(end)
    {}
    void Copy() override { lock(m_core)->copyPage(m_start, m_end); }

private:
    WeakCore m_core;
    CharPosition m_start;
    CharPosition m_end;
};

class LoShape : public OfficeShape
{
public:
    LoShape(WeakCore core, Reference<drawing::XShape> shape)
        : m_core(std::move(core)), m_shape(std::move(shape))
    {}
    void Select() override { lock(m_core)->selectShape(m_shape); }

private:
    WeakCore m_core;
    Reference<drawing::XShape> m_shape;
};

class LoSelection : public OfficeSelection
{
public:
    explicit LoSelection(LoDocument::Core& core) : m_core(core) {}

    CharPosition Start() override
    {
        m_core.requireOpen();
        return m_core.selectionStart;
    }
    CharPosition End() override
    {
        m_core.requireOpen();
        return m_core.selectionEnd;
    }
    void Collapse(int direction) override
    {
        m_core.requireOpen();
        m_core.selectedShape.clear();
        if (direction != CollapseStart) {
            m_core.selectionStart = m_core.selectionEnd;
            return;
        }
        m_core.selectionEnd = m_core.selectionStart;
        m_core.call(1, [&] { m_core.walk.moveTo(m_core.selectionStart); });
    }
    void Copy() override { m_core.copySelection(); }

private:
    LoDocument::Core& m_core;
};

class LoBrowser : public OfficeBrowser
{
public:
    explicit LoBrowser(LoDocument::Core& core) : m_core(core) {}

    void setTarget(int target) override
    {
        m_core.requireOpen();
        if (target != BrowseByPage) {
            throw EngineError(ErrorNumber::InvalidArgument,
                              QStringLiteral("不支持的浏览目标：%1（只支持按页浏览）。").arg(target));
        }
    }
    void Next() override
    {
        const auto position = m_core.call(1, [&] { return m_core.walk.next(); });
        if (position) {
            m_core.selectedShape.clear();
            m_core.selectionStart = m_core.selectionEnd = *position;
        }
    }

private:
    LoDocument::Core& m_core;
};

} // namespace

LoDocument::LoDocument(LibreOfficeSession& session, Reference<lang::XComponent> loaded, PictureSlot& slot)
    : m_core(std::make_shared<Core>(session, std::move(loaded), slot)),
      m_selection(std::make_unique<LoSelection>(*m_core)), m_browser(std::make_unique<LoBrowser>(*m_core))
{}

LoDocument::~LoDocument()
{
    try {
        m_core->close();
    } catch (...) {
        // Destruction must not throw; a dead office has nothing left to close.
    }
}

OfficeSelection& LoDocument::selection()
{
    return *m_selection;
}
OfficeBrowser& LoDocument::browser()
{
    return *m_browser;
}
bool LoDocument::isClosed() const
{
    return m_core->closed;
}

std::vector<std::unique_ptr<OfficeList>> LoDocument::Lists()
{
    m_core->requireOpen();
    return {};
}

void LoDocument::Select()
{
    m_core->selectedShape.clear();
    m_core->selectionStart = 0;
    m_core->selectionEnd = m_core->call(0, [&] { return m_core->walk.documentEnd(); });
}

std::unique_ptr<OfficeRange> LoDocument::Range(CharPosition start, CharPosition end)
{
    m_core->requireOpen();
    return std::make_unique<LoPageRange>(m_core, start, end);
}

std::vector<std::unique_ptr<OfficeShape>> LoDocument::Shapes()
{
    return shapes(false);
}

std::vector<std::unique_ptr<OfficeShape>> LoDocument::InlineShapes()
{
    return shapes(true);
}

std::vector<std::unique_ptr<OfficeShape>> LoDocument::shapes(bool inlineObjects)
{
    const auto found = m_core->call(0, [&] { return listShapes(m_core->model, inlineObjects); });
    std::vector<std::unique_ptr<OfficeShape>> result;
    for (const auto& shape : found)
        result.push_back(std::make_unique<LoShape>(m_core, shape));
    return result;
}

void LoDocument::Close(bool /*saveChanges*/)
{
    m_core->close();
}

} // namespace quillet::lo
