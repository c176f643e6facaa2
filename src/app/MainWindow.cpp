#include "app/MainWindow.h"

#include "app/StartupDefaults.h"
#include "app/UiFont.h"
#include "app/WebPanelPage.h"
#include "convert/engine/OfficeApplication.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>

namespace quillet {

namespace {

const QString AppTitle = QStringLiteral("Quillet");
const QString EngineMissingMessage = QStringLiteral("你的计算机中没有安装LibreOffice，无法正常使用本软件！");

constexpr int DesignClientWidth = 13065;
constexpr int DesignClientHeight = 8580;

// Runs one step of a skip-on-failure stretch: a step that throws is skipped and the next one runs.
template <typename Step> void skipOnFailure(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

MainWindow::MainWindow(OfficeEngine& engine, Dialogs& dialogs, WebBrowserFactory browserFactory,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_engine(engine), m_dialogs(dialogs), m_twips(TwipScale::ofScreen(screen())), m_webHost(WebHost)
{
    setObjectName(QStringLiteral("frmMain"));
    setFont(chooseUiFont());
    createControls(browserFactory);
    connectHandlers();
    createDocumentList();
    // Only the width follows the user; the height stays at its design value.
    setFixedHeight(m_twips.toPixels(DesignClientHeight));
    setMinimumWidth(1);
    resize(m_twips.toPixels(DesignClientWidth), m_twips.toPixels(DesignClientHeight));
}

MainWindow::~MainWindow() = default;

QString MainWindow::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

void MainWindow::setWebHostForTesting(const QString& host)
{
    m_webHost = host;
}

void MainWindow::connectHandlers()
{
    for (int i = 0; i < static_cast<int>(CmdFileOp.size()); ++i)
        connect(CmdFileOp[i], &QPushButton::clicked, this, [this, i] { CmdFileOp_Click(i); });
    connect(Command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(Check1, &QCheckBox::clicked, this, &MainWindow::Check1_Click);
    // Selecting an option from code runs the same handler, as a click does.
    connect(OptSlidesAll, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptSlidesAll_Click();
    });
    connect(OptSlides2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptSlides2_Click();
    });
    txtFrom->installEventFilter(this);
    txt2->installEventFilter(this);
    connect(CmdDo, &QPushButton::clicked, this, &MainWindow::CmdDo_Click);
    connect(CmdPicExtract, &QPushButton::clicked, this, &MainWindow::CmdPicExtract_Click);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(CmdExit, &QPushButton::clicked, this, &MainWindow::CmdExit_Click);
    connect(CmdHelp, &QPushButton::clicked, this, &MainWindow::CmdHelp_Click);
    connect(CmdHide, &QPushButton::clicked, this, &MainWindow::CmdHide_Click);
}

bool MainWindow::Form_Load()
{
    QCoreApplication::setApplicationName(AppTitle);
    QGuiApplication::setApplicationDisplayName(AppTitle);
    setWindowTitle(AppTitle);
    lblInput->setText(QStringLiteral("待处理文件：0项"));
    ConverterPid = 0;
    txtLog->setText(
        defaultLogPath(programFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));

    // From here on a failing step is skipped and the next one runs.
    std::unique_ptr<OfficeApplication> probe;
    skipOnFailure([&] { probe = m_engine.CreateApplication(); });
    const bool engineInstalled = probe != nullptr;
    m_docxSupported = false;
    if (engineInstalled)
        skipOnFailure([&] { m_docxSupported = versionSupportsDocx(probe->Version()); });
    if (!engineInstalled) {
        m_dialogs.message(EngineMissingMessage, MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    skipOnFailure([&] { startWebPanel(); });
    skipOnFailure([&] { probe->Quit(); });
    skipOnFailure([&] { probe.reset(); });
    return true;
}

void MainWindow::startWebPanel()
{
    CmdHelp->setVisible(false);
    WebBrowser1->Navigate(webPanelPage(m_webHost));
}

int MainWindow::widthInTwips(const QWidget* widget) const
{
    return m_twips.toTwips(widget->width());
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// Only the web panel follows the window's width; everything else keeps its design place.
// A step whose width would be negative (a minimised or very narrow window) is skipped.
void MainWindow::Form_Resize()
{
    const int columnWidth = widthInTwips(ListView2) - 100;
    if (columnWidth >= 0)
        ListView2->header()->resizeSection(0, m_twips.toPixels(columnWidth));

    // A hidden panel keeps its width for the next showing. (Where window borders are wider than
    // 80 twips the narrowed window makes the width negative anyway; thinner borders would shrink
    // the panel to a sliver on every hide.)
    if (Frame6->isHidden())
        return;

    const int frameWidth = m_twips.toTwips(width()) - m_twips.toTwips(Frame6->x()) - 50;
    if (frameWidth >= 0)
        Frame6->resize(m_twips.toPixels(frameWidth), Frame6->height());

    const int browserWidth = widthInTwips(Frame6) - 100;
    if (browserWidth >= 0)
        WebBrowser1->resize(m_twips.toPixels(browserWidth), WebBrowser1->height());
}

bool MainWindow::setOuterWidthInTwips(int twips)
{
    const int frameExtra = frameGeometry().width() - width();
    const int clientWidth = m_twips.toPixels(twips) - frameExtra;
    if (twips <= 0 || clientWidth <= 0)
        return false;
    resize(clientWidth, height());
    return true;
}

void MainWindow::CmdHide_Click()
{
    Frame6->setVisible(false);
    setOuterWidthInTwips(m_twips.toTwips(width()) - widthInTwips(Frame6) + 80);
    CmdHelp->setVisible(true);
}

void MainWindow::CmdHelp_Click()
{
    if (!Frame6->isHidden())
        return;
    Frame6->setVisible(true);
    setOuterWidthInTwips(m_twips.toTwips(frameGeometry().width()) + widthInTwips(Frame6) + 80);
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

void MainWindow::CmdExit_Click()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void MainWindow::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    StopConverter();
}

} // namespace quillet
