#include "engine/EngineError.h"

#include <utility>

namespace quillet {

EngineError::EngineError(long number, QString description)
    : m_number(number == 0 ? ErrorNumber::OperationFailed : number), m_description(std::move(description)),
      m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toStdString())
{}

EngineError EngineError::fromCurrentException()
{
    try {
        throw;
    } catch (const EngineError& error) {
        return error;
    } catch (const std::exception& error) {
        return EngineError(ErrorNumber::OperationFailed,
                           QStringLiteral("程序内部错误：%1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        return EngineError(ErrorNumber::OperationFailed, QStringLiteral("程序内部错误：未知的异常"));
    }
}

} // namespace quillet
