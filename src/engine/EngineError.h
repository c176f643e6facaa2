#pragma once

#include <QString>
#include <exception>
#include <string>

namespace quillet {

// The one failure type of the office boundary and of the per-document work around it:
// a non-zero number and a description the user can read (in the program's language).
class EngineError : public std::exception
{
public:
    EngineError(long number, QString description);
    // The exception being handled as an EngineError, whatever its type; call it in a catch block.
    static EngineError fromCurrentException();

    long number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    long m_number;
    QString m_description;
    std::string m_what;
};

// Error numbers used across the program. The office backends add their own above 1000.
namespace ErrorNumber {
constexpr long InvalidArgument = 5; // a procedure called with an argument it cannot use
constexpr long FileNotFound = 53;
constexpr long PathAccess = 75;         // a file could not be written or replaced
constexpr long EngineUnavailable = 429; // the office application could not be created
constexpr long OpenFailed = 5001;
constexpr long NotWordProcessorDocument = 5002;
constexpr long EngineDied = 5003;      // the office process ended or was killed during a call
constexpr long EngineTimeout = 5004;   // the office process did not answer in time and was stopped
constexpr long OperationFailed = 5005; // any other failure inside the office process
constexpr long NoDocument = 5006;      // an operation that needs an open document without one
} // namespace ErrorNumber

} // namespace quillet
