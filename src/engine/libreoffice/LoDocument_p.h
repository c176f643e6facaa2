#pragma once

// One open Writer document of the LibreOffice backend, with the selection and page browser that
// belong to it (the application forwards its Selection() and Browser() here).
//
// Page pictures: vector EMF written in process from a PDF copy (made once, on the first page copy,
// kept in the document's work folder until it closes).
// Object pictures: BMP through the graphic export filter. List numbers are drawn in the rendered
// pages already, so Lists() is empty: there is nothing to convert on this backend.

#include "engine/OfficeApplication.h"
#include "engine/libreoffice/LibreOfficeSession_p.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <memory>

namespace quillet::lo {

class LoDocument : public OfficeDocument
{
public:
    LoDocument(LibreOfficeSession& session, css::uno::Reference<css::lang::XComponent> loaded,
               PictureSlot& slot);
    ~LoDocument() override; // closes quietly when Close() was not called

    OfficeSelection& selection();
    OfficeBrowser& browser();
    bool isClosed() const;

    std::vector<std::unique_ptr<OfficeList>> Lists() override;
    void Select() override;
    // A range that is exactly one page of the walk copies as that page's EMF; any other range
    // copies as an empty picture.
    std::unique_ptr<OfficeRange> Range(CharPosition start, CharPosition end) override;
    std::vector<std::unique_ptr<OfficeShape>> Shapes() override;
    std::vector<std::unique_ptr<OfficeShape>> InlineShapes() override;
    // Closes the document and its PDF copy; never stores (the document is open read-only). Safe
    // to repeat.
    void Close(bool saveChanges) override;

    struct Core;

private:
    std::vector<std::unique_ptr<OfficeShape>> shapes(bool inlineObjects);

    std::shared_ptr<Core> m_core; // ranges and shapes hold it weakly: they fail once it is gone
    std::unique_ptr<OfficeSelection> m_selection;
    std::unique_ptr<OfficeBrowser> m_browser;
};

} // namespace quillet::lo
