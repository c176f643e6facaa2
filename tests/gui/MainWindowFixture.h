#pragma once

// A main window on the fake engine and scripted dialogs, with a recording web panel browser.

#include "RecordingBrowser.h"
#include "gui/MainWindow.h"
#include "support/FakeOffice.h"
#include "support/ScriptedDialogs.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace quillet::testing {

class MainWindowTest : public ::testing::Test
{
protected:
    FakeOffice office;
    ScriptedDialogs dialogs;
    RecordingBrowser* browser = nullptr;
    std::unique_ptr<MainWindow> window;

    void makeWindow()
    {
        window = std::make_unique<MainWindow>(office, dialogs, [this](QWidget* parent) {
            browser = new RecordingBrowser(parent);
            return browser;
        });
    }

    // A window that has been through start-up and is on screen.
    void startWindow()
    {
        makeWindow();
        ASSERT_TRUE(window->Form_Load());
        window->show();
    }

    int twips(int pixels) const { return window->twips().toTwips(pixels); }
    int pixels(int twips) const { return window->twips().toPixels(twips); }
    // One pixel either way, in twips: the layout is kept in whole pixels.
    int onePixel() const { return twips(1); }
};

} // namespace quillet::testing
