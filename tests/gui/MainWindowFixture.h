#pragma once

// A main window on the fake engine and scripted dialogs, whose web panel only records the addresses
// it is told to load unless a web host is given. Tests reach the controls by their object names.

#include "gui/MainWindow.h"
#include "support/FakeOffice.h"
#include "support/JobTestSupport.h"
#include "support/ScriptedDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <gtest/gtest.h>

namespace quillet::testing {

class RecordingBrowser : public WebBrowser
{
public:
    using WebBrowser::WebBrowser;
    void Navigate(const QUrl& address) override { requests << address; }
    QList<QUrl> requests;
};

class MainWindowTest : public ::testing::Test
{
protected:
    FakeOffice office;
    ScriptedDialogs dialogs;
    RecordingBrowser* browser = nullptr;
    std::unique_ptr<MainWindow> window;

    // A window through start-up and on screen; with a web host, on the real web engine.
    void startWindow(const QString& webHost = {})
    {
        const auto recording = [this](QWidget* parent) { return browser = new RecordingBrowser(parent); };
        window = webHost.isEmpty()
                     ? std::make_unique<MainWindow>(office, dialogs, recording)
                     : std::make_unique<MainWindow>(office, dialogs, WebBrowserFactory(), webHost);
        ASSERT_TRUE(window->Form_Load());
        window->show();
    }
    template <typename T = QWidget> T* control(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QPushButton* button(const QString& name) const { return control<QPushButton>(name); }
    QLineEdit* box(const QString& name) const { return control<QLineEdit>(name); }
    QString text(const QString& name) const { return control<QLabel>(name)->text(); }
    int twips(int pixels) const { return window->twips().toTwips(pixels); }
    int pixels(int twips) const { return window->twips().toPixels(twips); }
};

} // namespace quillet::testing
