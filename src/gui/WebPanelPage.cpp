#include "gui/WebPanelPage.h"

namespace quillet {

QUrl webPanelPage(const QString& host)
{
    return QUrl(QStringLiteral("http://") + host + QStringLiteral("/soft/Quillet.aspx?VER=") + AppVersion);
}

} // namespace quillet
