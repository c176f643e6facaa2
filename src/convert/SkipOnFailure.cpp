#include "convert/SkipOnFailure.h"

#include "convert/engine/EngineError.h"

#include <exception>

namespace quillet {

bool SkipOnFailure::run(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const EngineError& error) {
        m_number = error.number();
        m_description = error.description();
    } catch (const std::exception& error) {
        m_number = ErrorNumber::OperationFailed;
        m_description = QString::fromLocal8Bit(error.what());
    }
    return false;
}

void SkipOnFailure::clear()
{
    m_number = 0;
    m_description.clear();
}

} // namespace quillet
