#include "gui/FrmPath.h"

#include "doclist/FolderBrowser.h"
#include "gui/TwipScale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace quillet {

namespace {

template <typename Widget> Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

FrmPath::FrmPath(Dialogs& dialogs, bool docxSupported, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("FrmPath"));
    createControls();
    // Form_Load
    setWindowTitle(QStringLiteral("选择目录："));
    if (docxSupported)
        Combo1->setCurrentText(QStringLiteral("*.doc;*.docx"));

    connect(CmdFolder, &QPushButton::clicked, this, &FrmPath::CmdFolder_Click);
    connect(CmdOK, &QPushButton::clicked, this, &FrmPath::CmdOK_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmPath::CmdCancel_Click);
}

void FrmPath::createControls()
{
    const TwipScale twips = TwipScale::ofScreen(screen());
    const auto place = [&twips](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(twips.toPixels(left, top, width, height));
    };
    setFixedSize(twips.toPixels(4500), twips.toPixels(2055));

    Frame1 = named(new QFrame(this), QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    place(Frame1, 60, 0, 4395, 1635);
    Label1 = named(new QLabel(QStringLiteral("添加文档的目录："), Frame1), QStringLiteral("Label1"));
    place(Label1, 60, 180, 1995, 195);
    txtFolder = named(new QLineEdit(Frame1), QStringLiteral("txtFolder"));
    // Known by the captions beside them: the name, and on Linux the label relation too.
    txtFolder->setAccessibleName(Label1->text());
    Label1->setBuddy(txtFolder);
    place(txtFolder, 60, 420, 3615, 315);
    CmdFolder = named(new QPushButton(Frame1), QStringLiteral("CmdFolder"));
    CmdFolder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    CmdFolder->setAccessibleName(QStringLiteral("浏览"));
    place(CmdFolder, 3720, 360, 555, 495);
    Label2 = named(new QLabel(QStringLiteral("文件后缀："), Frame1), QStringLiteral("Label2"));
    place(Label2, 60, 900, 900, 180);
    // Shows the suffixes searched; what is typed here changes nothing.
    Combo1 = named(new QComboBox(Frame1), QStringLiteral("Combo1"));
    Combo1->setAccessibleName(Label2->text());
    Label2->setBuddy(Combo1);
    Combo1->setEditable(true);
    Combo1->setCurrentText(QStringLiteral("*.doc"));
    place(Combo1, 1020, 840, 1815, 300);
    ChkSubdir =
        named(new QCheckBox(QStringLiteral("包括该目录子目录中的文档"), Frame1), QStringLiteral("ChkSubdir"));
    place(ChkSubdir, 60, 1260, 2595, 255);
    CmdCancel = named(new QPushButton(QStringLiteral("取消"), this), QStringLiteral("CmdCancel"));
    place(CmdCancel, 2160, 1680, 855, 315);
    CmdOK = named(new QPushButton(QStringLiteral("确定"), this), QStringLiteral("CmdOK"));
    place(CmdOK, 3420, 1680, 855, 315);

    // Enter presses the focused button (buttons in a dialog are auto-default); neither button is the
    // dialog's default (see keyPressEvent).
    setTabOrder(CmdOK, CmdCancel);
    setTabOrder(CmdCancel, Combo1);
    setTabOrder(Combo1, txtFolder);
    setTabOrder(txtFolder, CmdFolder);
    setTabOrder(CmdFolder, ChkSubdir);
    CmdOK->setFocus();
}

FolderRequest FrmPath::ask(Dialogs& dialogs, bool docxSupported, QWidget* parent)
{
    FrmPath dialog(dialogs, docxSupported, parent);
    dialog.exec();
    return dialog.handBack();
}

FolderRequest FrmPath::handBack() const
{
    if (result() != QDialog::Accepted)
        return {};
    return {txtFolder->text(), ChkSubdir->isChecked()};
}

void FrmPath::keyPressEvent(QKeyEvent* event)
{
    // Enter that no focused button took (the folder box's, say) presses no default button and
    // does not close the dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmPath::CmdFolder_Click()
{
    FolderBrowser browser(m_dialogs);
    browser.Caption = QStringLiteral("请选择一个文件夹");
    browser.Owner = this;
    browser.GetFolder();
    txtFolder->setText(browser.Folder);
}

void FrmPath::CmdOK_Click()
{
    accept();
}

void FrmPath::CmdCancel_Click()
{
    txtFolder->clear();
    reject();
}

void FrmPath::reject()
{
    txtFolder->clear();
    ChkSubdir->setChecked(false);
    QDialog::reject();
}

} // namespace quillet
