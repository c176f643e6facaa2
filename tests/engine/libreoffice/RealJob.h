#pragma once

// One batch job on the real LibreOffice engine, started as the window's buttons start it, with its
// output and log in a folder of its own; a fixture that checks after each test that no office is left.

#include "OfficeProcessProbe.h"
#include "convert/ConversionJob.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "extract/ExtractionJob.h"
#include "support/JobTestSupport.h"

#include <functional>

namespace quillet::testing {

// The job's window (documents, options and dialog answers are set before the run) and its engine.
class RealJob : public ScriptedJobWindow, public OfficeEngine
{
public:
    explicit RealJob(const QString& folder, lo::SessionSettings settings = {}) : m_engine(std::move(settings))
    {
        QDir().mkpath(folder);
        current.outputFolder = folder + QStringLiteral("/out");
        current.logPath = folder + QStringLiteral("/Quillet.log");
    }
    // RunConversionJob or RunExtractionJob.
    void run(void (*job)(JobWindow&, OfficeEngine&, TextViewer&))
    {
        job(*this, *this, *this);
        app = nullptr;
    }
    std::unique_ptr<OfficeApplication> CreateApplication() override
    {
        auto made = m_engine.CreateApplication();
        app = dynamic_cast<lo::LoApplication*>(made.get());
        return made;
    }
    void keepAlive() override
    {
        ScriptedJobWindow::keepAlive();
        if (onKeepAlive)
            onKeepAlive();
    }

    QString output(const QString& name) const { return current.outputFolder + '/' + name; }
    QStringList outputFiles() const { return FilesIn(current.outputFolder); }

    std::function<void()> onKeepAlive; // after each page or object
    lo::LoApplication* app = nullptr;  // the running job's, for a test to reach its office

private:
    lo::LibreOfficeEngine m_engine;
};

template <class Base = ::testing::Test> class RealOfficeTest : public Base
{
protected:
    void TearDown() override { EXPECT_EQ(officeLeftovers(), QStringList()); }
    QTemporaryDir m_dir;
};

} // namespace quillet::testing
