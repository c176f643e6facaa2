#pragma once

// The LibreOffice engine: creates application objects that drive a private, hidden LibreOffice.
// Creating one is cheap: the office starts on the first document.

#include "engine/OfficeApplication.h"
#include "engine/libreoffice/SessionSettings.h"

namespace quillet::lo {

class LibreOfficeEngine : public OfficeEngine
{
public:
    explicit LibreOfficeEngine(SessionSettings settings = {});

    // Throws EngineError (EngineUnavailable) when LibreOffice is not installed.
    std::unique_ptr<OfficeApplication> CreateApplication() override;

    // LibreOffice's own version for the about page ("7.4.7.2"); empty when it cannot be read.
    QString officeVersion() const;

private:
    SessionSettings m_settings;
};

} // namespace quillet::lo
