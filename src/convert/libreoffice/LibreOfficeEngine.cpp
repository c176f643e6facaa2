#include "convert/libreoffice/LibreOfficeEngine.h"

#include "convert/engine/EngineError.h"
#include "convert/libreoffice/LoApplication.h"
#include "convert/libreoffice/LoInstallation.h"

namespace quillet::lo {

LibreOfficeEngine::LibreOfficeEngine(SessionSettings settings) : m_settings(std::move(settings)) {}

std::unique_ptr<OfficeApplication> LibreOfficeEngine::CreateApplication()
{
    if (!isInstalled(m_settings.programDir)) {
        throw EngineError(ErrorNumber::EngineUnavailable,
                          QStringLiteral("找不到LibreOffice（%1）").arg(m_settings.programDir));
    }
    return std::make_unique<LoApplication>(m_settings);
}

QString LibreOfficeEngine::officeVersion() const
{
    return installedVersion(m_settings.programDir);
}

} // namespace quillet::lo
