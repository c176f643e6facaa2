#pragma once

// frmMain: the program's only main window. It owns every control the jobs and list commands
// read and write, the start-up sequence, the layout rule that keeps the web panel fitted, the
// conversion options and the close.

#include "app/TwipScale.h"
#include "app/WebBrowser.h"
#include "convert/ConversionOptions.h"
#include "handoff/ConverterLauncher.h"
#include "doclist/DocumentList.h"

#include <QWidget>
#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace quillet {

class Dialogs;
class DocumentListPanel;
class OfficeApplication;
class OfficeEngine;

class MainWindow : public QWidget, public OptionsSource
{
    Q_OBJECT
public:
    // An empty browserFactory gives the Qt WebEngine browser.
    MainWindow(OfficeEngine& engine, Dialogs& dialogs, WebBrowserFactory browserFactory = {},
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up after the single-instance check: title, defaults, engine probe, web panel.
    // Returns false when the program must end (no office engine); the user has been told.
    bool Form_Load();

    // Where the product page is served; tests point it at a local server.
    void setWebHostForTesting(const QString& host);

    bool DocxSupported() const { return m_docxSupported; }
    OptionsSource& optionsSource() { return *this; }
    ConversionOptions options() const override;
    OfficeEngine& engine() { return m_engine; }
    Dialogs& dialogs() { return m_dialogs; }
    // The documents to process, in order; ListView2 shows them.
    DocumentList& documentList() { return m_documentList; }
    const TwipScale& twips() const { return m_twips; }
    // The program's own folder, where the default log and the sibling converter live.
    static QString programFolder();

    // Window fields.
    std::unique_ptr<OfficeApplication> WordApp; // the running job's engine instance, empty between jobs
    bool ErrorLogged = false;                   // a worker logged a failure during the current job
    qint64 ConverterPid = 0;                    // the converter started last, 0 when none

    // Controls, named as in the design.
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

public slots:
    // Options (also called by the jobs when a box is empty).
    void Command1_Click();
    void Command2_Click();
    void Check1_Click();
    void OptSlidesAll_Click();
    void OptSlides2_Click();

    // Web panel.
    void CmdHide_Click();
    void CmdHelp_Click();

    void CmdExit_Click();

    // Wired by the document list.
    void CmdFileOp_Click(int Index);
    // Wired by the jobs.
    void CmdDo_Click();
    // Wired by the jobs.
    void CmdPicExtract_Click();
    // Wired by the hand-off.
    void Command3_Click();

public:
    // Page-box key filter: returns the character code to pass on, 0 to swallow the key.
    static int txtFrom_KeyPress(int KeyAscii);
    static int txt2_KeyPress(int KeyAscii);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls(const WebBrowserFactory& browserFactory);
    void connectHandlers();
    // Gives ListView2 the document list, file drops and the list commands.
    void createDocumentList();
    void Form_Resize();
    void Form_Unload();
    // Wired by the hand-off: stops the converter started last (ConverterPid).
    void StopConverter();
    void startWebPanel();
    int widthInTwips(const QWidget* widget) const;
    // Outer width: the window with its frame. Returns false when the width cannot be set.
    bool setOuterWidthInTwips(int twips);

    OfficeEngine& m_engine;
    Dialogs& m_dialogs;
    TwipScale m_twips;
    QString m_webHost;
    bool m_docxSupported = false;
    bool m_centred = false;
    bool m_unloaded = false;
    // The converters this window started, by process handle: the stop at close reaches only them.
    ConverterLauncher m_converters;
    DocumentList m_documentList;
    DocumentListPanel* m_listPanel = nullptr; // owned by ListView2
};

} // namespace quillet
