#pragma once

#include <QString>
#include <QUrl>

namespace quillet {

// Sent to the product page as the value of its "VER" query key.
inline const QString AppVersion = QStringLiteral("1.35");

// Where the product page is served. ".invalid" never resolves, so until the project has a web
// site the panel shows the page bundled with the program.
inline const QString WebHost = QStringLiteral("quillet.invalid");

// "http://" + host + "/soft/Quillet.aspx?VER=" + AppVersion
QUrl webPanelPage(const QString& host = WebHost);

} // namespace quillet
