#pragma once

// Offices for the tests: a private office reached through the engine's application object, the page
// walk as the page renderer makes it, and soffice runs converting test documents.

#include "engine/OfficeApplication.h"
#include "engine/libreoffice/LoApplication_p.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace quillet::testing {

class LoTestOffice
{
public:
    std::unique_ptr<OfficeDocument> open(const QString& path) { return m_app.Documents().Open(path); }
    OfficeSelection& selection() { return m_app.Selection(); }
    OfficeBrowser& browser() { return m_app.Browser(); }
    PictureSlot& slot() { return m_app.Clipboard(); }
    lo::LibreOfficeSession& session() { return m_app.session(); }

private:
    lo::LoApplication m_app; // quits its office when it goes
};

struct WalkResult
{
    std::vector<CharPosition> starts; // start of each page, first page first
    CharPosition documentEnd = 0;
};

// Select, measure, collapse, then Next until the insertion point no longer moves on or reaches the end.
WalkResult walkPages(OfficeDocument& doc, OfficeSelection& selection, OfficeBrowser& browser);

// One headless soffice with a profile of its own, converting every source into outDir; target as
// --convert-to takes it ("doc:MS Word 97").
struct SofficeRun
{
    QStringList sources;
    QString target;
    QString outDir;
};

// Makes the runs side by side and waits for all; throws std::runtime_error when one fails.
void ConvertWithSoffice(const QList<SofficeRun>& runs);

} // namespace quillet::testing
