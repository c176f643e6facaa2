#include "gui/MainWindowControls.h"

#include "gui/QtWebBrowser.h"
#include "gui/TwipScale.h"

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

// Object names are for code and tests. A screen reader says a control's accessible name, which is
// what a sighted user reads: labels, buttons, options and frames give their current caption by
// themselves, so only a control without a caption of its own is given one.
template <typename Widget>
Widget* named(Widget* widget, const QString& name, const QString& accessibleName = {})
{
    widget->setObjectName(name);
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
    return widget;
}

// Frames draw their caption on the top border line, so the controls placed from the frame's top
// edge clear both the caption and the border at any font height.
const QString FrameStyle =
    QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.6em; }"
                   "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; "
                   "padding: 0 2px; }");

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption)
{
    auto* box = named(new QGroupBox(caption, parent), name);
    box->setStyleSheet(FrameStyle);
    return box;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption)
{
    auto* pushButton = named(new QPushButton(caption, parent), name);
    pushButton->setAutoDefault(true); // Enter presses the focused button
    return pushButton;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption)
{
    return named(new QLabel(caption, parent), name);
}

// A text box is known by the caption beside it.
QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text, const QString& caption)
{
    return named(new QLineEdit(text, parent), name, caption.trimmed());
}

} // namespace

MainWindowControls createMainWindowControls(QWidget& window, const TwipScale& twips,
                                            const WebBrowserFactory& browserFactory)
{
    const auto place = [&twips](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(twips.toPixels(left, top, width, height));
    };
    MainWindowControls c;
    QWidget* const self = &window;

    c.Frame1 = frame(self, QStringLiteral("Frame1"), QStringLiteral("待处理文件"));
    place(c.Frame1, 60, 60, 10155, 4455);
    const QString fileOpCaptions[] = {QStringLiteral("添加文件"), QStringLiteral("添加目录"),
                                      QStringLiteral("移除文件"), QStringLiteral("全部清空")};
    const int fileOpTops[] = {300, 1320, 2280, 3240};
    for (int i = 0; i < 4; ++i) {
        c.CmdFileOp[i] = button(c.Frame1, QStringLiteral("CmdFileOp_%1").arg(i), fileOpCaptions[i]);
        place(c.CmdFileOp[i], 60, fileOpTops[i], 915, 375);
    }
    c.ListView2 = named(new QTreeView(c.Frame1), QStringLiteral("ListView2"), QStringLiteral("文件"));
    place(c.ListView2, 1140, 240, 8895, 3495);
    c.ListView2->setRootIsDecorated(false);
    c.ListView2->setUniformRowHeights(true);
    c.ListView2->setAllColumnsShowFocus(true);
    c.ListView2->header()->setStretchLastSection(false);
    // Until the document list gives the view its model, show the empty list with its heading.
    auto* emptyList = new QStandardItemModel(0, 1, c.ListView2);
    emptyList->setHorizontalHeaderLabels({QStringLiteral("文件")});
    c.ListView2->setModel(emptyList);

    c.Label2 = label(c.Frame1, QStringLiteral("Label2"), QStringLiteral(" 转换页码范围："));
    place(c.Label2, 1140, 4080, 1560, 255);
    c.OptSlidesAll =
        named(new QRadioButton(QStringLiteral("全部"), c.Frame1), QStringLiteral("OptSlidesAll"));
    place(c.OptSlidesAll, 2760, 4080, 900, 255);
    c.OptSlidesAll->setChecked(true);
    c.OptSlides2 =
        named(new QRadioButton(QStringLiteral("指定范围："), c.Frame1), QStringLiteral("OptSlides2"));
    place(c.OptSlides2, 3720, 4080, 1380, 255);
    c.txtFrom = textBox(c.Frame1, QStringLiteral("txtFrom"), QStringLiteral("1"), c.Label2->text());
    c.Label2->setBuddy(c.txtFrom);
    place(c.txtFrom, 5160, 3960, 495, 390);
    c.Label3 = label(c.Frame1, QStringLiteral("Label3"), QStringLiteral("－"));
    place(c.Label3, 5700, 4080, 240, 255);
    c.Label3->setAlignment(Qt::AlignCenter);
    c.txt2 = textBox(c.Frame1, QStringLiteral("txt2"), QStringLiteral("1"), c.Label2->text());
    place(c.txt2, 5985, 3960, 495, 390);

    c.Frame2 = frame(self, QStringLiteral("Frame2"), QStringLiteral("输出"));
    place(c.Frame2, 60, 4800, 10155, 735);
    c.Label1 = label(c.Frame2, QStringLiteral("Label1"), QStringLiteral("图片保存到目录："));
    place(c.Label1, 120, 320, 1680, 255);
    c.txtOutDir = textBox(c.Frame2, QStringLiteral("txtOutDir"), QString(), c.Label1->text());
    c.Label1->setBuddy(c.txtOutDir);
    place(c.txtOutDir, 1860, 270, 7215, 345);
    c.Command2 = button(c.Frame2, QStringLiteral("Command2"), QStringLiteral("..."));
    place(c.Command2, 9180, 270, 795, 345);

    c.Frame5 = frame(self, QStringLiteral("Frame5"), QStringLiteral("选  项"));
    place(c.Frame5, 60, 5880, 10155, 675);
    c.Check1 =
        named(new QCheckBox(QStringLiteral("处理时的异常记录到文件："), c.Frame5), QStringLiteral("Check1"));
    place(c.Check1, 120, 280, 2520, 255);
    c.Check1->setChecked(true);
    c.txtLog = textBox(c.Frame5, QStringLiteral("txtLog"), QString(), c.Check1->text());
    place(c.txtLog, 2700, 240, 6795, 345);
    c.Command1 = button(c.Frame5, QStringLiteral("Command1"), QStringLiteral("..."));
    place(c.Command1, 9600, 240, 435, 345);

    c.Frame4 = frame(self, QStringLiteral("Frame4"), QStringLiteral("进  度"));
    place(c.Frame4, 60, 6900, 10155, 615);
    c.lblInput = label(c.Frame4, QStringLiteral("lblInput"), QString());
    place(c.lblInput, 240, 270, 3855, 255);
    c.lblProcessing = label(c.Frame4, QStringLiteral("lblProcessing"), QString());
    place(c.lblProcessing, 5040, 270, 3855, 255);

    c.Frame3 = frame(self, QStringLiteral("Frame3"), QString());
    place(c.Frame3, 60, 7860, 10155, 675);
    c.CmdDo = button(c.Frame3, QStringLiteral("CmdDo"), QStringLiteral("批量文档转图片"));
    place(c.CmdDo, 840, 200, 1935, 375);
    c.CmdPicExtract = button(c.Frame3, QStringLiteral("CmdPicExtract"), QStringLiteral("批量提取文档中图片"));
    place(c.CmdPicExtract, 3240, 200, 1935, 375);
    c.Command3 = button(c.Frame3, QStringLiteral("Command3"), QStringLiteral("图片格式转换"));
    place(c.Command3, 5520, 200, 1935, 375);
    c.CmdExit = button(c.Frame3, QStringLiteral("CmdExit"), QStringLiteral("退出"));
    place(c.CmdExit, 7800, 200, 915, 375);
    c.CmdHelp = button(c.Frame3, QStringLiteral("CmdHelp"), QStringLiteral("帮助"));
    place(c.CmdHelp, 9120, 200, 915, 375);

    c.Frame6 = frame(self, QStringLiteral("Frame6"), QStringLiteral("关于"));
    place(c.Frame6, 10320, 40, 2715, 8535);
    c.WebBrowser1 = browserFactory ? browserFactory(c.Frame6) : new QtWebBrowser(c.Frame6);
    c.WebBrowser1->setParent(c.Frame6);
    named(c.WebBrowser1, QStringLiteral("WebBrowser1"), QStringLiteral("关于"));
    place(c.WebBrowser1, 60, 300, 2595, 7755);
    c.CmdHide = button(c.Frame6, QStringLiteral("CmdHide"), QStringLiteral("隐藏"));
    place(c.CmdHide, 900, 8100, 915, 375);
    return c;
}

} // namespace quillet
