#pragma once

// What the fidelity test asks of a private office, all inside guarded calls of its session: a
// document's PDF (as the page pictures export it), the pages of today's Draw route, and a metafile
// drawn the way the office draws it (its own EMF import, on a Draw page of the given size).

#include "engine/libreoffice/LibreOfficeSession_p.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <vector>

namespace quillet::testing {

class OfficePages
{
public:
    OfficePages(lo::LibreOfficeSession& session, QString workDir);
    ~OfficePages();

    // Opens `document` and exports it to `pdf` as the page pictures do.
    void exportPdf(const QString& document, const QString& pdf);
    // Opens `document`, exports it to `pdf` and returns the Draw route's EMF of every page.
    std::vector<QByteArray> pdfAndDrawRoute(const QString& document, const QString& pdf);
    // Saves a document in another format (filter name as the office knows it).
    void storeAs(const QString& source, const QString& target, const char* filter);
    // The metafile at its own size, on a page of pageMm, rendered to `pixels`.
    QImage render(const QByteArray& emf, QSizeF pageMm, QSize pixels);

private:
    lo::LibreOfficeSession& m_session;
    QString m_workDir;
    css::uno::Reference<css::lang::XComponent> m_canvas; // a hidden Draw document for render()
};

} // namespace quillet::testing
