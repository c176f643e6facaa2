// The controls of the main window at their design geometry (twips, relative to their frame).

#include "app/MainWindow.h"
#include "app/QtWebBrowser.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTreeView>

namespace quillet {

namespace {

template <typename Widget>
Widget* named(Widget* widget, const QString& name, const QString& accessibleName = {})
{
    widget->setObjectName(name);
    widget->setAccessibleName(accessibleName.isEmpty() ? name : accessibleName);
    return widget;
}

// Frames draw their caption on the top border line, so the controls placed from the frame's top
// edge clear both the caption and the border at any font height.
const QString FrameStyle = QStringLiteral(
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.6em; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }");

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption)
{
    auto* box = named(new QGroupBox(caption, parent), name, caption);
    box->setStyleSheet(FrameStyle);
    return box;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption)
{
    return named(new QPushButton(caption, parent), name, caption);
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption)
{
    return named(new QLabel(caption, parent), name, caption);
}

QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text)
{
    return named(new QLineEdit(text, parent), name);
}

} // namespace

void MainWindow::createControls(const WebBrowserFactory& browserFactory)
{
    const auto place = [this](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(m_twips.toPixels(left, top, width, height));
    };

    Frame1 = frame(this, QStringLiteral("Frame1"), QStringLiteral("待处理文件"));
    place(Frame1, 60, 60, 10155, 4455);
    const QString fileOpCaptions[] = {QStringLiteral("添加文件"), QStringLiteral("添加目录"),
                                      QStringLiteral("移除文件"), QStringLiteral("全部清空")};
    const int fileOpTops[] = {300, 1320, 2280, 3240};
    for (int i = 0; i < 4; ++i) {
        CmdFileOp[i] = button(Frame1, QStringLiteral("CmdFileOp_%1").arg(i), fileOpCaptions[i]);
        place(CmdFileOp[i], 60, fileOpTops[i], 915, 375);
    }
    ListView2 = named(new QTreeView(Frame1), QStringLiteral("ListView2"), QStringLiteral("文件"));
    place(ListView2, 1140, 240, 8895, 3495);
    ListView2->setRootIsDecorated(false);
    ListView2->setUniformRowHeights(true);
    ListView2->setAllColumnsShowFocus(true);
    ListView2->header()->setStretchLastSection(false);
    // Until the document list gives the view its model, show the empty list with its heading.
    auto* emptyList = new QStandardItemModel(0, 1, ListView2);
    emptyList->setHorizontalHeaderLabels({QStringLiteral("文件")});
    ListView2->setModel(emptyList);

    Label2 = label(Frame1, QStringLiteral("Label2"), QStringLiteral(" 转换页码范围："));
    place(Label2, 1140, 4080, 1560, 255);
    OptSlidesAll = named(new QRadioButton(QStringLiteral("全部"), Frame1), QStringLiteral("OptSlidesAll"),
                         QStringLiteral("全部"));
    place(OptSlidesAll, 2760, 4080, 900, 255);
    OptSlidesAll->setChecked(true);
    OptSlides2 = named(new QRadioButton(QStringLiteral("指定范围："), Frame1), QStringLiteral("OptSlides2"),
                       QStringLiteral("指定范围："));
    place(OptSlides2, 3720, 4080, 1380, 255);
    txtFrom = textBox(Frame1, QStringLiteral("txtFrom"), QStringLiteral("1"));
    place(txtFrom, 5160, 3960, 495, 390);
    Label3 = label(Frame1, QStringLiteral("Label3"), QStringLiteral("－"));
    place(Label3, 5700, 4080, 240, 255);
    Label3->setAlignment(Qt::AlignCenter);
    txt2 = textBox(Frame1, QStringLiteral("txt2"), QStringLiteral("1"));
    place(txt2, 5985, 3960, 495, 390);

    Frame2 = frame(this, QStringLiteral("Frame2"), QStringLiteral("输出"));
    place(Frame2, 60, 4800, 10155, 735);
    Label1 = label(Frame2, QStringLiteral("Label1"), QStringLiteral("图片保存到目录："));
    place(Label1, 120, 320, 1680, 255);
    txtOutDir = textBox(Frame2, QStringLiteral("txtOutDir"), QString());
    place(txtOutDir, 1860, 270, 7215, 345);
    Command2 = button(Frame2, QStringLiteral("Command2"), QStringLiteral("..."));
    place(Command2, 9180, 270, 795, 345);

    Frame5 = frame(this, QStringLiteral("Frame5"), QStringLiteral("选  项"));
    place(Frame5, 60, 5880, 10155, 675);
    Check1 = named(new QCheckBox(QStringLiteral("处理时的异常记录到文件："), Frame5),
                   QStringLiteral("Check1"), QStringLiteral("处理时的异常记录到文件："));
    place(Check1, 120, 280, 2520, 255);
    Check1->setChecked(true);
    txtLog = textBox(Frame5, QStringLiteral("txtLog"), QString());
    place(txtLog, 2700, 240, 6795, 345);
    Command1 = button(Frame5, QStringLiteral("Command1"), QStringLiteral("..."));
    place(Command1, 9600, 240, 435, 345);

    Frame4 = frame(this, QStringLiteral("Frame4"), QStringLiteral("进  度"));
    place(Frame4, 60, 6900, 10155, 615);
    lblInput = label(Frame4, QStringLiteral("lblInput"), QString());
    place(lblInput, 240, 270, 3855, 255);
    lblProcessing = label(Frame4, QStringLiteral("lblProcessing"), QString());
    place(lblProcessing, 5040, 270, 3855, 255);

    Frame3 = frame(this, QStringLiteral("Frame3"), QString());
    place(Frame3, 60, 7860, 10155, 675);
    CmdDo = button(Frame3, QStringLiteral("CmdDo"), QStringLiteral("批量文档转图片"));
    place(CmdDo, 840, 200, 1935, 375);
    CmdPicExtract = button(Frame3, QStringLiteral("CmdPicExtract"), QStringLiteral("批量提取文档中图片"));
    place(CmdPicExtract, 3240, 200, 1935, 375);
    Command3 = button(Frame3, QStringLiteral("Command3"), QStringLiteral("图片格式转换"));
    place(Command3, 5520, 200, 1935, 375);
    CmdExit = button(Frame3, QStringLiteral("CmdExit"), QStringLiteral("退出"));
    place(CmdExit, 7800, 200, 915, 375);
    CmdHelp = button(Frame3, QStringLiteral("CmdHelp"), QStringLiteral("帮助"));
    place(CmdHelp, 9120, 200, 915, 375);

    Frame6 = frame(this, QStringLiteral("Frame6"), QStringLiteral("关于"));
    place(Frame6, 10320, 40, 2715, 8535);
    WebBrowser1 = browserFactory ? browserFactory(Frame6) : new QtWebBrowser(Frame6);
    WebBrowser1->setParent(Frame6);
    named(WebBrowser1, QStringLiteral("WebBrowser1"), QStringLiteral("关于"));
    place(WebBrowser1, 60, 300, 2595, 7755);
    CmdHide = button(Frame6, QStringLiteral("CmdHide"), QStringLiteral("隐藏"));
    place(CmdHide, 900, 8100, 915, 375);
}

} // namespace quillet
