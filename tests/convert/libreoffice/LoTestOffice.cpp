#include "LoTestOffice.h"

#include "convert/libreoffice/LoUno.h"

#include <com/sun/star/frame/XComponentLoader.hpp>

namespace quillet::testing {

using namespace std::chrono_literals;
namespace css = com::sun::star;

LoTestOffice::LoTestOffice() = default;
LoTestOffice::~LoTestOffice()
{
    m_session.stop();
}

std::unique_ptr<lo::LoDocument> LoTestOffice::open(const QString& path)
{
    auto desktop = m_session.desktop();
    css::uno::Reference<css::lang::XComponent> component = m_session.guarded(60s, [&] {
        return desktop->loadComponentFromURL(
            lo::fileUrl(path), "_blank", 0,
            lo::props({{"Hidden", css::uno::Any(true)}, {"ReadOnly", css::uno::Any(true)}}));
    });
    if (!component.is())
        throw EngineError(ErrorNumber::OpenFailed, QStringLiteral("cannot open ") + path);
    return std::make_unique<lo::LoDocument>(m_session, component, m_slot);
}

WalkResult walkPages(OfficeDocument& doc, OfficeSelection& selection, OfficeBrowser& browser)
{
    WalkResult result;
    doc.Select();
    CharPosition pageStart = selection.Start();
    result.documentEnd = selection.End();
    selection.Collapse(CollapseStart);
    browser.setTarget(BrowseByPage);
    result.starts.push_back(pageStart);
    for (int guard = 0; guard < 10000; ++guard) {
        browser.Next();
        const CharPosition pageEnd = selection.End();
        if (pageEnd == pageStart) {
            result.lastNextStayed = true;
            break;
        }
        if (pageEnd >= result.documentEnd)
            break;
        result.starts.push_back(pageEnd);
        pageStart = pageEnd;
    }
    return result;
}

} // namespace quillet::testing
