#pragma once

// The application object of the LibreOffice engine: options, the document collection, the
// selection and page browser of the document opened last, and the picture slot.
//
// Documents are handed out as handles; the application keeps the documents themselves, so that it
// can close a document still open before it restarts or ends the office, and a handle used after
// that fails cleanly (NoDocument) instead of reaching a dead office.

#include "engine/OfficeApplication.h"
#include "engine/libreoffice/LibreOfficeSession_p.h"

#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace quillet::lo {

class LoDocument;

class LoApplication final : public OfficeApplication, public OfficeOptions, public OfficeDocuments
{
public:
    explicit LoApplication(SessionSettings settings = {});
    ~LoApplication() override; // Quit()

    // The Word-format version whose documents this engine opens; no office is started for it.
    QString Version() override;
    OfficeOptions& Options() override { return *this; }
    OfficeDocuments& Documents() override { return *this; }
    OfficeSelection& Selection() override;
    OfficeBrowser& Browser() override;
    PictureSlot& Clipboard() override { return m_slot; }
    Picture RenderPicture(const QString& path, QSize pixelSize) override;
    void Quit() override;

    // Spelling and grammar never run on hidden documents and draw nothing into exports: there is
    // nothing to switch.
    void setCheckGrammarAsYouType(bool) override {}
    void setCheckGrammarWithSpelling(bool) override {}

    std::unique_ptr<OfficeDocument> Open(const QString& path) override;

    // Documents opened and not yet closed.
    int openDocuments() const;
    LibreOfficeSession& session() { return m_session; }

    struct Entry;

private:
    friend class DocumentHandle;

    LoDocument& active();
    // Closes and forgets a document; never throws.
    void release(const std::shared_ptr<Entry>& entry);
    void closeAll();
    void restartIfDue();

    LibreOfficeSession m_session;
    PictureSlot m_slot;
    std::unique_ptr<QTemporaryDir> m_workDir;   // for pictures rendered from files
    std::vector<std::shared_ptr<Entry>> m_open; // in opening order; the last is the active one
    int m_documentsOnThisOffice = 0;
    int m_officeStarts = 0;
    bool m_quit = false;
};

} // namespace quillet::lo
