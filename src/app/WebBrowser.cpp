#include "app/WebBrowser.h"

namespace quillet {

WebBrowser::~WebBrowser() = default;

} // namespace quillet
