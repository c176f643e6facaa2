#include "jobs/PageBox.h"

#include "engine/EngineError.h"
#include "jobs/ConversionOptions.h"

#include <limits>

namespace quillet {

namespace {
constexpr long TypeMismatch = 13;
constexpr long Overflow = 6;
} // namespace

std::int16_t PageBoxNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool isNumber = false;
    const qlonglong value = trimmed.toLongLong(&isNumber, 10);
    if (!isNumber) {
        // A run of digits too long for 64 bits is still a number, only too big.
        bool digitsOnly = !trimmed.isEmpty();
        for (qsizetype i = 0; i < trimmed.size() && digitsOnly; ++i)
            digitsOnly = trimmed.at(i).isDigit() ||
                         (i == 0 && (trimmed.at(0) == QLatin1Char('-') || trimmed.at(0) == QLatin1Char('+')));
        if (!digitsOnly || trimmed.size() == 1)
            throw EngineError(TypeMismatch, QStringLiteral("类型不匹配：页码“%1”不是数字。").arg(text));
        throw EngineError(Overflow, QStringLiteral("溢出：页码“%1”超出范围。").arg(text));
    }
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw EngineError(Overflow, QStringLiteral("溢出：页码“%1”超出范围。").arg(text));
    return static_cast<std::int16_t>(value);
}

bool IsValidPageRange(const QString& firstPage, const QString& lastPage)
{
    try {
        const std::int16_t first = PageBoxNumber(firstPage);
        const std::int16_t last = PageBoxNumber(lastPage);
        return first >= 0 && last >= 0 && first <= last;
    } catch (const EngineError&) {
        return false;
    }
}

bool HasValidPageRange(const ConversionOptions& options)
{
    return !options.pageRange || IsValidPageRange(options.firstPage, options.lastPage);
}

} // namespace quillet
