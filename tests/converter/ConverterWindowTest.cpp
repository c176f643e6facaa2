// The converter's window with the real office engine and scripted dialogs, on a real EMF made by the
// office from a drawing, BMP pictures and a broken one; and the safe writing of one picture.
#include "converter/window/ConverterWindow.h"

#include "OfficeProcessProbe.h"
#include "TestDocuments.h"
#include "converter/PictureConversion.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "support/JobTestSupport.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quillet;
using namespace quillet::tessora;

namespace {

// 4 cm x 3 cm, the left half red and the right half blue, made into a.emf by soffice.
void makeEmf(const QString& folder)
{
    const QString svg = QDir(folder).filePath("a.svg");
    quillet::testing::writeFile(svg, R"(<svg xmlns="http://www.w3.org/2000/svg" width="4cm" height="3cm" viewBox="0 0 400 300">
<rect width="200" height="300" fill="#ff0000"/><rect x="200" width="200" height="300" fill="#0000ff"/></svg>)");
    quillet::testing::ConvertWithSoffice({{{svg}, "emf", folder}});
    QFile::remove(svg);
    ASSERT_TRUE(QFile::exists(QDir(folder).filePath("a.emf"))) << "the office made no EMF";
}

} // namespace

TEST(ConverterWindow, AsksForAFolderAndConvertsAllWithProgressAndOneLinePerFailure)
{
    QTemporaryDir dir;
    ASSERT_NO_FATAL_FAILURE(makeEmf(dir.path()));
    QImage red(20, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath("a.bmp"), "BMP")); // shares its base name with a.emf
    ASSERT_TRUE(red.save(dir.filePath("b.bmp"), "BMP"));
    quillet::testing::writeFile(dir.filePath("a.bmp.png"), "replace");
    quillet::testing::writeFile(dir.filePath("b.png"), "keep");
    quillet::testing::writeFile(dir.filePath("c.bmp"), "no picture");
    quillet::testing::ScriptedDialogs dialogs;
    lo::LibreOfficeEngine engine;
    ConverterWindow window(dialogs, engine, QString());
    dialogs.folderAnswers << dir.path();
    window.openStartFolder();
    ASSERT_EQ(window.folder(), dir.path());
    window.findChild<QComboBox*>("cboResolution")->setCurrentIndex(2); // 300 DPI
    dialogs.messageAnswers << MessageAnswer::Yes << MessageAnswer::No;
    QSignalSpy finished(&window, &ConverterWindow::batchFinished);
    window.findChild<QPushButton*>("cmdConvertAll")->click();
    ASSERT_TRUE(!finished.isEmpty() || finished.wait(600000));
    EXPECT_EQ(dialogs.messageTexts(),
              QStringList({replaceQuestion(dir.filePath("a.bmp.png")), replaceQuestion(dir.filePath("b.png")),
                           QStringLiteral("转换完毕：成功2个，失败1个。")}));
    const auto* progress = window.findChild<QProgressBar*>("barProgress");
    EXPECT_EQ(QPoint(progress->value(), progress->maximum()), QPoint(3, 3));
    const QString report = window.findChild<QPlainTextEdit*>("txtReport")->toPlainText();
    EXPECT_TRUE(report.startsWith(QStringLiteral("c.bmp："))) << report.toStdString();
    EXPECT_FALSE(report.contains('\n'));
    EXPECT_EQ(QImage(dir.filePath("a.bmp.png")).pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(quillet::testing::FileBytes(dir.filePath("b.png")), "keep");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 7); // no c.png, no temporary files
    const QImage png(dir.filePath("a.emf.png"));
    // The EMF's frame (a little inside the 4 cm x 3 cm page) at 300 dpi; the default 150 dpi gives half.
    EXPECT_NEAR(png.width(), 442, 30);
    EXPECT_NEAR(png.height(), 324, 30);
    const QColor left = png.pixelColor(png.width() / 4, png.height() / 2);
    const QColor right = png.pixelColor(3 * png.width() / 4, png.height() / 2);
    EXPECT_TRUE(left.red() > 200 && left.blue() < 60) << left.name().toStdString();
    EXPECT_TRUE(right.red() < 60 && right.blue() > 200) << right.name().toStdString();
    EXPECT_EQ(quillet::testing::officeLeftovers(), QStringList()); // the worker's office went with the batch
}

TEST(PictureConversion, WritesBesideThenRenamesAndReplacesOnlyWhenAllowed)
{
    QTemporaryDir dir;
    const QImage image(20, 10, QImage::Format_RGB32);
    const QString target = dir.filePath("x.png");
    quillet::testing::writeFile(target, "appeared after the question");
    EXPECT_FALSE(writePicture(image, target, OutputFormat::Png, false).isEmpty());
    EXPECT_EQ(quillet::testing::FileBytes(target), "appeared after the question");
    // Allowed, a new file is renamed into place: the old one is never rewritten.
    struct stat before = {}, after = {};
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &before), 0);
    EXPECT_TRUE(writePicture(image, target, OutputFormat::Png, true).isEmpty());
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    // The name is taken by a folder: the final rename fails and nothing is left behind.
    const QString blocked = dir.filePath("sub/z.png");
    ASSERT_TRUE(QDir().mkpath(blocked));
    EXPECT_FALSE(writePicture(image, blocked, OutputFormat::Png, true).isEmpty());
    EXPECT_EQ(QDir(dir.filePath("sub")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"z.png"});
}
