#include "platform/Dialogs.h"

namespace quillet {

Dialogs::~Dialogs() = default;

} // namespace quillet
