#include "gui/MainWindow.h"

#include "convert/ConversionJob.h"
#include "dialogs/UiFont.h"
#include "extract/ExtractionJob.h"
#include "gui/DocumentListPanel.h"
#include "gui/MainWindowJobs.h"
#include "gui/OptionsPanel.h"
#include "gui/StartupDefaults.h"
#include "gui/WebPanel.h"
#include "jobs/LogFile.h"
#include "platform/Dialogs.h"
#include "platform/TextViewer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>

namespace quillet {

namespace {

const QString AppTitle = QStringLiteral("Quillet");
const QString EngineMissingMessage = QStringLiteral("你的计算机中没有安装LibreOffice，无法正常使用本软件！");

constexpr int DesignClientWidth = 13065;
constexpr int DesignClientHeight = 8580;

} // namespace

MainWindow::MainWindow(OfficeEngine& engine, Dialogs& dialogs, WebBrowserFactory browserFactory,
                       const QString& webHost, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_engine(engine), m_dialogs(dialogs), m_twips(TwipScale::ofScreen(screen())), m_webHost(webHost)
{
    setObjectName(QStringLiteral("frmMain"));
    // The program's font for every window, whatever the desktop's: the dialogs this window opens are
    // windows of their own, which would not inherit a font set here. This window, made before, takes
    // it too before any control exists: the frames' style sheets fix their font when they are made.
    useUiFontEverywhere();
    setFont(QApplication::font());
    m_c = createMainWindowControls(*this, m_twips, browserFactory);
    m_options = new OptionsPanel(m_c, m_dialogs, this);
    m_webPanel = new WebPanel(*this, m_c, m_twips);
    m_listPanel = new DocumentListPanel(m_documentList, m_dialogs, m_c.ListView2, m_c.lblInput,
                                        m_c.lblProcessing, this);
    connectHandlers();
    // Only the width follows the user; the height stays at its design value.
    setFixedHeight(m_twips.toPixels(DesignClientHeight));
    setMinimumWidth(1);
    resize(m_twips.toPixels(DesignClientWidth), m_twips.toPixels(DesignClientHeight));
}

MainWindow::~MainWindow() = default;

void MainWindow::connectHandlers()
{
    for (int i = 0; i < static_cast<int>(m_c.CmdFileOp.size()); ++i)
        connect(m_c.CmdFileOp[i], &QPushButton::clicked, this, [this, i] { CmdFileOp_Click(i); });
    connect(m_c.CmdDo, &QPushButton::clicked, this, &MainWindow::CmdDo_Click);
    connect(m_c.CmdPicExtract, &QPushButton::clicked, this, &MainWindow::CmdPicExtract_Click);
    connect(m_c.Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(m_c.CmdExit, &QPushButton::clicked, this, &QWidget::close);
}

bool MainWindow::Form_Load()
{
    // No display name: Qt would add it to every other window's title ("选择目录： — Quillet").
    QCoreApplication::setApplicationName(AppTitle);
    setWindowTitle(AppTitle);
    m_c.lblInput->setText(QStringLiteral("待处理文件：0项"));
    m_c.txtLog->setText(
        defaultLogPath(programFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));

    const std::optional<bool> docx = probeEngine(m_engine);
    if (!docx) {
        m_dialogs.message(EngineMissingMessage, MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    m_listPanel->commands().setDocxSupported(*docx);
    m_webPanel->start(webPanelPage(m_webHost));
    return true;
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// Only the list column and the web panel follow the window's width; everything else keeps its
// design place. A step whose width would be negative is skipped.
void MainWindow::Form_Resize()
{
    const int columnWidth = m_twips.toTwips(m_c.ListView2->width()) - 100;
    if (columnWidth >= 0)
        m_c.ListView2->header()->resizeSection(0, m_twips.toPixels(columnWidth));
    m_webPanel->fitToWindow();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen* where = screen()) {
        QRect centred = frameGeometry();
        centred.moveCenter(where->availableGeometry().center());
        move(centred.topLeft());
    }
}

void MainWindow::CmdFileOp_Click(int Index)
{
    m_listPanel->commands().CmdFileOp_Click(Index);
}

void MainWindow::CmdDo_Click()
{
    MainWindowJobs jobWindow(*this, m_c, *m_options, m_documentList, m_dialogs);
    DesktopTextViewer viewer;
    RunConversionJob(jobWindow, m_engine, viewer);
}

void MainWindow::CmdPicExtract_Click()
{
    MainWindowJobs jobWindow(*this, m_c, *m_options, m_documentList, m_dialogs);
    DesktopTextViewer viewer;
    RunExtractionJob(jobWindow, m_engine, viewer);
}

// Starts the converter on the output folder as typed. A start that fails changes nothing and says
// nothing; each click starts another converter, and only the newest one is stopped at close.
void MainWindow::Command3_Click()
{
    m_converters.launch(programFolder(), m_c.txtOutDir->text());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

// The converter started last is stopped; one that has ended already, or an older one, is left alone.
void MainWindow::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_converters.stopNewest();
}

} // namespace quillet
