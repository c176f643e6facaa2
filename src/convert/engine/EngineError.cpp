#include "convert/engine/EngineError.h"

#include <utility>

namespace quillet {

EngineError::EngineError(long number, QString description)
    : m_number(number == 0 ? ErrorNumber::OperationFailed : number)
    , m_description(std::move(description))
    , m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toStdString())
{
}

} // namespace quillet
