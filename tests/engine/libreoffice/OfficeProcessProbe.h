#pragma once

// What the tests look at to prove that no office is left behind, and how they stop an office.

#include <QStringList>
#include <chrono>

namespace quillet::testing {

// Waits up to `timeout` until no live process's command line and no file in the temporary folder
// holds `name` (by default what every office of this program is named after); returns what is left.
QStringList officeLeftovers(const QString& name = QString(),
                            std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Stops the process group and waits up to `timeout` until every thread of it has stopped; true when
// all have. One thread takes the signal and stops the others, which run on until it has.
bool stopGroup(qint64 group, std::chrono::milliseconds timeout = std::chrono::seconds(20));

} // namespace quillet::testing
