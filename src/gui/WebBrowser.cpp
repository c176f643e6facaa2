#include "gui/WebBrowser.h"

namespace quillet {

WebBrowser::~WebBrowser() = default;

} // namespace quillet
