#include "converter/window/ConverterWindow.h"

#include "converter/EmfRenderer.h"
#include "converter/PictureConversion.h"
#include "platform/Dialogs.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace quillet::tessora {

ConverterWindow::ConverterWindow(Dialogs& dialogs, OfficeEngine& engine, const QString& folder,
                                 QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_engine(engine), m_folder(folder)
{
    setObjectName(QStringLiteral("ConverterWindow"));
    setWindowTitle(QStringLiteral("图片格式转换"));

    m_folderLabel = new QLabel(this);
    m_folderLabel->setObjectName(QStringLiteral("lblFolder"));
    m_folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_chooseFolder = new QPushButton(QStringLiteral("选择文件夹…"), this);
    m_chooseFolder->setObjectName(QStringLiteral("cmdChooseFolder"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstPictures"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("cboFormat"));
    m_format->addItem(QStringLiteral("PNG"), static_cast<int>(OutputFormat::Png));
    m_format->addItem(QStringLiteral("JPG"), static_cast<int>(OutputFormat::Jpg));
    m_resolution = new QComboBox(this);
    m_resolution->setObjectName(QStringLiteral("cboResolution"));
    for (int dpi : {96, 150, 300})
        m_resolution->addItem(QStringLiteral("%1 DPI").arg(dpi), dpi);
    m_resolution->setCurrentIndex(1);

    m_convertSelected = new QPushButton(QStringLiteral("转换所选"), this);
    m_convertSelected->setObjectName(QStringLiteral("cmdConvertSelected"));
    m_convertAll = new QPushButton(QStringLiteral("全部转换"), this);
    m_convertAll->setObjectName(QStringLiteral("cmdConvertAll"));

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("barProgress"));
    m_progress->setValue(0);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(QStringLiteral("txtReport"));
    m_report->setReadOnly(true);
    m_report->setMaximumHeight(110);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("文件夹："), this));
    folderRow->addWidget(m_folderLabel, 1);
    folderRow->addWidget(m_chooseFolder);

    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(new QLabel(QStringLiteral("转换为："), this));
    optionsRow->addWidget(m_format);
    optionsRow->addSpacing(12);
    optionsRow->addWidget(new QLabel(QStringLiteral("EMF分辨率："), this));
    optionsRow->addWidget(m_resolution);
    optionsRow->addStretch(1);
    optionsRow->addWidget(m_convertSelected);
    optionsRow->addWidget(m_convertAll);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folderRow);
    layout->addWidget(m_list, 1);
    layout->addLayout(optionsRow);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(m_report);
    resize(560, 460);

    connect(m_chooseFolder, &QPushButton::clicked, this, &ConverterWindow::chooseFolder);
    connect(m_convertSelected, &QPushButton::clicked, this, &ConverterWindow::convertSelected);
    connect(m_convertAll, &QPushButton::clicked, this, &ConverterWindow::convertAll);
}

ConverterWindow::~ConverterWindow()
{
    cancel();
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
}

void ConverterWindow::openStartFolder()
{
    if (m_folder.isEmpty())
        chooseFolder();
    else
        openFolder(m_folder);
}

void ConverterWindow::chooseFolder()
{
    const QString chosen = m_dialogs.chooseFolder(QStringLiteral("请选择EMF和BMP图片所在的文件夹"));
    if (!chosen.isEmpty())
        openFolder(chosen);
}

void ConverterWindow::openFolder(const QString& folder)
{
    m_folder = folder;
    m_folderLabel->setText(QDir::toNativeSeparators(folder));
    m_pictures = listPictures(folder);
    m_list->clear();
    for (const QString& picture : m_pictures)
        m_list->addItem(QFileInfo(picture).fileName());
    m_progress->setRange(0, qMax(1, static_cast<int>(m_pictures.size())));
    m_progress->setValue(0);
    m_status->setText(m_pictures.isEmpty() ? QStringLiteral("此文件夹中没有EMF或BMP图片。")
                                           : QStringLiteral("共%1个图片。").arg(m_pictures.size()));
}

void ConverterWindow::convertSelected()
{
    QStringList sources;
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->isSelected())
            sources << m_pictures.value(row);
    if (sources.isEmpty()) {
        m_dialogs.message(QStringLiteral("请先在列表中选择要转换的图片。"), MessageIcon::Information,
                          MessageButtons::Ok);
        return;
    }
    convert(sources);
}

void ConverterWindow::convertAll()
{
    if (m_pictures.isEmpty()) {
        m_dialogs.message(QStringLiteral("此文件夹中没有EMF或BMP图片。"), MessageIcon::Information,
                          MessageButtons::Ok);
        return;
    }
    convert(m_pictures);
}

void ConverterWindow::convert(const QStringList& sources)
{
    if (busy())
        return;
    const OutputFormat format = chosenFormat();
    const std::vector<ConversionItem> items = planConversion(sources, format, m_pictures, m_dialogs);
    if (items.empty())
        return;

    m_converted = 0;
    m_failed = 0;
    m_cancel = false;
    m_report->clear();
    m_progress->setRange(0, static_cast<int>(items.size()));
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("正在转换…"));
    setBusy(true);

    const int dpi = chosenDpi();
    // The engine's application is made, used and quit on the worker thread only.
    m_worker = QThread::create([this, items, format, dpi] {
        EmfRenderer emf(m_engine, dpi);
        QtImageRenderer others;
        PictureConversion conversion(emf, others);
        conversion.run(
            items, format,
            [this](int index, const ConversionResult& result) {
                QMetaObject::invokeMethod(
                    this, [this, index, result] { itemDone(index, result); }, Qt::QueuedConnection);
            },
            m_cancel);
    });
    connect(m_worker, &QThread::finished, this, &ConverterWindow::finishBatch);
    m_worker->start();
}

void ConverterWindow::itemDone(int index, const ConversionResult& result)
{
    m_progress->setValue(index + 1);
    const QString name = QFileInfo(result.source).fileName();
    if (result.converted) {
        ++m_converted;
        m_status->setText(QStringLiteral("已转换：%1").arg(name));
    } else {
        ++m_failed;
        m_report->appendPlainText(QStringLiteral("%1：%2").arg(name, result.error));
    }
}

void ConverterWindow::finishBatch()
{
    m_worker->deleteLater();
    m_worker = nullptr;
    setBusy(false);
    const QString summary = QStringLiteral("转换完毕：成功%1个，失败%2个。").arg(m_converted).arg(m_failed);
    m_status->setText(summary);
    emit batchFinished(m_converted, m_failed);
    if (!m_cancel)
        m_dialogs.message(summary, MessageIcon::Information, MessageButtons::Ok);
}

void ConverterWindow::setBusy(bool busy)
{
    for (QWidget* control : {static_cast<QWidget*>(m_chooseFolder), static_cast<QWidget*>(m_list),
                             static_cast<QWidget*>(m_format), static_cast<QWidget*>(m_resolution),
                             static_cast<QWidget*>(m_convertSelected), static_cast<QWidget*>(m_convertAll)})
        control->setEnabled(!busy);
}

bool ConverterWindow::busy() const
{
    return m_worker != nullptr;
}

void ConverterWindow::cancel()
{
    m_cancel = true;
}

void ConverterWindow::closeEvent(QCloseEvent* event)
{
    // Finish the current picture (never leave half of one), then stop the office with the worker.
    cancel();
    if (m_worker)
        m_worker->wait();
    event->accept();
}

OutputFormat ConverterWindow::chosenFormat() const
{
    return static_cast<OutputFormat>(m_format->currentData().toInt());
}

int ConverterWindow::chosenDpi() const
{
    return m_resolution->currentData().toInt();
}

} // namespace quillet::tessora
