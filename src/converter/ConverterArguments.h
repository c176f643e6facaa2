#pragma once

// The converter's command line: the access argument, then the folder to open.

#include <QString>
#include <QStringList>

namespace quillet::tessora {

struct ConverterArguments
{
    bool accessGranted = false;
    QString folder; // as given; empty when missing
};

// arguments without the program name.
ConverterArguments parseConverterArguments(const QStringList& arguments);

// The folder to open at start, or an empty text when the user must be asked for one (none given,
// or it is not an existing folder).
QString startFolder(const ConverterArguments& arguments);

// Shown when the access argument is wrong or missing.
QString accessRefusedMessage();

// Whether a message box can be shown to someone: not on the offscreen or minimal platforms, and
// not without a display to connect to (Qt would abort). environment: QT_QPA_PLATFORM, DISPLAY and
// WAYLAND_DISPLAY as set.
bool canShowWindows(const QString& platform, const QString& display, const QString& waylandDisplay);

// Exit status of a refused start.
inline constexpr int kAccessRefusedExitStatus = 2;

} // namespace quillet::tessora
