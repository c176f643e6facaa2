#include "jobs/ConversionOptions.h"

namespace quillet {

OptionsSource::~OptionsSource() = default;

} // namespace quillet
