#pragma once

#include <QString>

namespace quillet {

// The options every job reads: the live contents of the main window's option controls.
struct ConversionOptions
{
    QString outputFolder;                    // txtOutDir, as typed (the jobs complete it with a separator)
    QString logPath;                         // txtLog, untrimmed
    bool allPages = true;                    // OptSlidesAll
    bool pageRange = false;                  // OptSlides2
    QString firstPage = QStringLiteral("1"); // txtFrom
    QString lastPage = QStringLiteral("1");  // txt2
};

// Where the workers read the options from, afresh whenever they need a value (for every page),
// so that what the user sees in the window is what the job uses.
class OptionsSource
{
public:
    virtual ~OptionsSource();
    virtual ConversionOptions options() const = 0;
};

// Options that stay as they were given, as the command line's do.
class FixedOptions : public OptionsSource
{
public:
    explicit FixedOptions(ConversionOptions options) : m_options(std::move(options)) {}
    ConversionOptions options() const override { return m_options; }

private:
    ConversionOptions m_options;
};

} // namespace quillet
