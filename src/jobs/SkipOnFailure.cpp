#include "jobs/SkipOnFailure.h"

#include "engine/EngineError.h"

namespace quillet {

bool SkipOnFailure::run(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const EngineStartFailure&) {
        throw;
    } catch (const JobStopped&) {
        throw;
    } catch (...) {
        const EngineError error = EngineError::fromCurrentException();
        m_number = error.number();
        m_description = error.description();
    }
    return false;
}

void SkipOnFailure::clear()
{
    m_number = 0;
    m_description.clear();
}

} // namespace quillet
