#pragma once

// frmMain: the program's only main window. It owns every control, the start-up sequence, the
// layout rule, the batch buttons and the close; the options, the web panel, the document list's
// widgets and the jobs' view of the window are helpers it holds.

#include "doclist/DocumentList.h"
#include "gui/MainWindowControls.h"
#include "gui/TwipScale.h"
#include "gui/WebPanelPage.h"
#include "launcher/ConverterLauncher.h"

#include <QWidget>
#include <memory>

namespace quillet {

class Dialogs;
class DocumentListPanel;
class OfficeEngine;
class OptionsPanel;
class WebPanel;

class MainWindow : public QWidget
{
    Q_OBJECT
public:
    // An empty browserFactory gives the Qt WebEngine browser; webHost serves the product page.
    MainWindow(OfficeEngine& engine, Dialogs& dialogs, WebBrowserFactory browserFactory = {},
               const QString& webHost = WebHost, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up after the single-instance check: title, defaults, engine probe, web panel.
    // Returns false when the program must end (no office engine); the user has been told.
    bool Form_Load();

    // The documents to process, in order; ListView2 shows them.
    DocumentList& documentList() { return m_documentList; }
    const TwipScale& twips() const { return m_twips; }
    // Process id of the converter started last, 0 when none was started.
    qint64 ConverterPid() const { return m_converters.newestPid(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();
    void CmdFileOp_Click(int Index);
    void CmdDo_Click();
    void CmdPicExtract_Click();
    void Command3_Click();
    void Form_Resize();
    void Form_Unload();

    OfficeEngine& m_engine;
    Dialogs& m_dialogs;
    TwipScale m_twips;
    QString m_webHost;
    MainWindowControls m_c;
    DocumentList m_documentList;
    DocumentListPanel* m_listPanel = nullptr;
    OptionsPanel* m_options = nullptr;
    WebPanel* m_webPanel = nullptr;
    // The converters this window started, by process handle: the stop at close reaches only them.
    ConverterLauncher m_converters;
    bool m_centred = false;
    bool m_unloaded = false;
};

} // namespace quillet
