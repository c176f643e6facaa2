#pragma once

// The controls of the main window, named as in the design, created at their design geometry
// (twips, relative to their frame). The window and its helpers share these pointers; the widgets
// belong to the window.

#include "gui/WebBrowser.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeView;
class QWidget;

namespace quillet {

class TwipScale;

struct MainWindowControls
{
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame6 = nullptr;
    std::array<QPushButton*, 4> CmdFileOp{};
    QTreeView* ListView2 = nullptr;
    QLabel* Label2 = nullptr;
    QRadioButton* OptSlidesAll = nullptr;
    QRadioButton* OptSlides2 = nullptr;
    QLineEdit* txtFrom = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txt2 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtOutDir = nullptr;
    QPushButton* Command2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLineEdit* txtLog = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* lblInput = nullptr;
    QLabel* lblProcessing = nullptr;
    QPushButton* CmdDo = nullptr;
    QPushButton* CmdPicExtract = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* CmdExit = nullptr;
    QPushButton* CmdHelp = nullptr;
    WebBrowser* WebBrowser1 = nullptr;
    QPushButton* CmdHide = nullptr;
};

// Creates every control as a child of window; browserFactory makes the web panel's browser.
MainWindowControls createMainWindowControls(QWidget& window, const TwipScale& twips,
                                            const WebBrowserFactory& browserFactory);

} // namespace quillet
