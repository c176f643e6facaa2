#include "engine/libreoffice/LibreOfficeEngine.h"

#include "engine/EngineError.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "engine/libreoffice/LoInstallation_p.h"

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
