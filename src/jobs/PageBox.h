#pragma once

#include <QString>
#include <cstdint>

namespace quillet {

struct ConversionOptions;

// A page box's text read as a 16-bit page number. Throws EngineError when the text is not a
// whole number (13, type mismatch) or does not fit 16 bits (6, overflow).
std::int16_t PageBoxNumber(const QString& text);

// What the conversion job accepts before it starts: both boxes hold numbers from 0 to 32767 and
// the first is not greater than the last.
bool IsValidPageRange(const QString& firstPage, const QString& lastPage);

// Whether the options' page boxes hold such a range when a range is chosen ("指定范围：").
bool HasValidPageRange(const ConversionOptions& options);

} // namespace quillet
