// Converting pictures without a window: listing, naming, the replace question, safe writing and
// BMP pictures read by Qt. EMF rendering by the office is in EmfConversionTest.cpp.
#include "converter/PictureConversion.h"

#include "converter/ConverterArguments.h"
#include "launcher/ConverterAccess.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
using namespace quillet;
using namespace quillet::tessora;
using quillet::testing::ScriptedDialogs;

namespace {

// A 60x40 BMP: left half red, right half blue, one green pixel at (5, 7).
QImage sampleImage()
{
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < 40; ++y)
        for (int x = 30; x < 60; ++x)
            image.setPixelColor(x, y, Qt::blue);
    image.setPixelColor(5, 7, Qt::green);
    return image;
}

void touch(const QString& path, const QByteArray& bytes = "old")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Fails every picture, with a reason.
class FailingRenderer : public PictureRenderer
{
public:
    RenderedPicture render(const QString&) override { return {QImage(), QStringLiteral("坏图片")}; }
};

class PictureConversionTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    QTemporaryDir m_dir;
    QtImageRenderer m_qt;
    FailingRenderer m_failing;
};

} // namespace

TEST(ConverterArguments, AccessArgumentMustMatchExactly)
{
    const QString access = QString::fromLatin1(kConverterAccessArgument);
    EXPECT_TRUE(parseConverterArguments({access, QStringLiteral("/tmp")}).accessGranted);
    EXPECT_TRUE(parseConverterArguments({access}).accessGranted);
    EXPECT_FALSE(parseConverterArguments({}).accessGranted);
    EXPECT_FALSE(parseConverterArguments({access.left(19), QStringLiteral("/tmp")}).accessGranted);
    EXPECT_FALSE(parseConverterArguments({access + QLatin1Char(' ')}).accessGranted);
    EXPECT_FALSE(parseConverterArguments({QStringLiteral("/tmp"), access}).accessGranted);
}

TEST(ConverterArguments, AMissingOrEmptyOrUnknownFolderMeansAsk)
{
    const QString access = QString::fromLatin1(kConverterAccessArgument);
    QTemporaryDir dir;
    EXPECT_EQ(startFolder(parseConverterArguments({access})), QString());
    EXPECT_EQ(startFolder(parseConverterArguments({access, QString()})), QString());
    EXPECT_EQ(startFolder(parseConverterArguments({access, dir.filePath(QStringLiteral("missing"))})),
              QString());
    EXPECT_EQ(startFolder(parseConverterArguments({access, dir.path() + QLatin1Char('/')})),
              QDir(dir.path()).absolutePath());
}

TEST_F(PictureConversionTest, ListsEmfAndBmpFilesInNumberOrder)
{
    for (const char* name : {"doc-10.emf", "doc-2.emf", "Pic-1.BMP", "notes.txt", "doc-1.png"})
        touch(path(QString::fromLatin1(name)));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("sub.emf"))));
    EXPECT_EQ(listPictures(m_dir.path()),
              (QStringList{path(QStringLiteral("doc-2.emf")), path(QStringLiteral("doc-10.emf")),
                           path(QStringLiteral("Pic-1.BMP"))}));
}

TEST_F(PictureConversionTest, OutputGoesBesideAndKeepsTwoPicturesOfOneNameApart)
{
    const QStringList pictures{path(QStringLiteral("a.emf")), path(QStringLiteral("a.bmp")),
                               path(QStringLiteral("b.v1.emf"))};
    EXPECT_EQ(outputPathFor(pictures[2], OutputFormat::Png, pictures), path(QStringLiteral("b.v1.png")));
    EXPECT_EQ(outputPathFor(pictures[2], OutputFormat::Jpg, pictures), path(QStringLiteral("b.v1.jpg")));
    EXPECT_EQ(outputPathFor(pictures[0], OutputFormat::Png, pictures), path(QStringLiteral("a.emf.png")));
    EXPECT_EQ(outputPathFor(pictures[1], OutputFormat::Png, pictures), path(QStringLiteral("a.bmp.png")));
}

TEST_F(PictureConversionTest, BmpBecomesPngAndJpgWithItsPixels)
{
    const QString bmp = path(QStringLiteral("pic-1.bmp"));
    ASSERT_TRUE(sampleImage().save(bmp, "BMP"));
    const QStringList pictures = listPictures(m_dir.path());
    PictureConversion conversion(m_failing, m_qt);

    ScriptedDialogs dialogs;
    const auto pngItems = planConversion(pictures, OutputFormat::Png, pictures, dialogs);
    ASSERT_EQ(pngItems.size(), 1u);
    const ConversionResult png = conversion.convert(pngItems[0], OutputFormat::Png);
    ASSERT_TRUE(png.converted) << png.error.toStdString();
    EXPECT_EQ(png.target, path(QStringLiteral("pic-1.png")));
    EXPECT_TRUE(contents(png.target).startsWith("\x89PNG"));
    const QImage written(png.target);
    ASSERT_EQ(written.size(), QSize(60, 40));
    EXPECT_EQ(written.pixelColor(5, 7), QColor(Qt::green));
    EXPECT_EQ(written.pixelColor(10, 20), QColor(Qt::red));
    EXPECT_EQ(written.pixelColor(45, 20), QColor(Qt::blue));

    const auto jpgItems = planConversion(pictures, OutputFormat::Jpg, pictures, dialogs);
    const ConversionResult jpg = conversion.convert(jpgItems.at(0), OutputFormat::Jpg);
    ASSERT_TRUE(jpg.converted) << jpg.error.toStdString();
    EXPECT_TRUE(contents(jpg.target).startsWith("\xff\xd8"));
    const QImage jpgImage(jpg.target);
    ASSERT_EQ(jpgImage.size(), QSize(60, 40));
    EXPECT_GT(jpgImage.pixelColor(10, 20).red(), 200);
    EXPECT_LT(jpgImage.pixelColor(10, 20).blue(), 60);
    EXPECT_GT(jpgImage.pixelColor(45, 20).blue(), 200);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(PictureConversionTest, AnExistingPictureIsReplacedOnlyAfterYes)
{
    const QString bmpA = path(QStringLiteral("a.bmp"));
    const QString bmpB = path(QStringLiteral("b.bmp"));
    ASSERT_TRUE(sampleImage().save(bmpA, "BMP"));
    ASSERT_TRUE(sampleImage().save(bmpB, "BMP"));
    touch(path(QStringLiteral("a.png")), "keep me");
    touch(path(QStringLiteral("b.png")), "replace me");
    const QStringList pictures = listPictures(m_dir.path());

    ScriptedDialogs dialogs;
    dialogs.messageAnswers << MessageAnswer::No << MessageAnswer::Yes;
    const auto items = planConversion(pictures, OutputFormat::Png, pictures, dialogs);

    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].text, replaceQuestion(path(QStringLiteral("a.png"))));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNo);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].source, bmpB);
    EXPECT_TRUE(items[0].mayReplace);

    PictureConversion conversion(m_failing, m_qt);
    std::atomic_bool cancel{false};
    const auto results = conversion.run(items, OutputFormat::Png, nullptr, cancel);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].converted);
    EXPECT_EQ(contents(path(QStringLiteral("a.png"))), QByteArray("keep me"));
    EXPECT_EQ(QImage(path(QStringLiteral("b.png"))).size(), QSize(60, 40));
}

TEST_F(PictureConversionTest, APictureThatAppearedMeanwhileIsNotReplacedWithoutTheQuestion)
{
    const QString target = path(QStringLiteral("x.png"));
    touch(target, "theirs");
    EXPECT_FALSE(writePicture(sampleImage(), target, OutputFormat::Png, false).isEmpty());
    EXPECT_EQ(contents(target), QByteArray("theirs"));
    EXPECT_TRUE(writePicture(sampleImage(), target, OutputFormat::Png, true).isEmpty());
    EXPECT_EQ(QImage(target).size(), QSize(60, 40));
}

TEST_F(PictureConversionTest, AFailedWriteLeavesNoFileBehind)
{
    // The target's name is taken by a folder: the final rename fails after the data was written.
    const QString sub = path(QStringLiteral("sub"));
    const QString blocked = sub + QStringLiteral("/z.png");
    ASSERT_TRUE(QDir().mkpath(blocked));
    EXPECT_FALSE(writePicture(sampleImage(), blocked, OutputFormat::Png, true).isEmpty());
    EXPECT_EQ(QDir(sub).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("z.png")});
    EXPECT_TRUE(QFileInfo(blocked).isDir());
}

TEST_F(PictureConversionTest, EachFailureIsReportedAndTheOthersGoOn)
{
    touch(path(QStringLiteral("broken.bmp")), "not a picture");
    ASSERT_TRUE(sampleImage().save(path(QStringLiteral("good.bmp")), "BMP"));
    touch(path(QStringLiteral("page.emf")), "whatever");
    const QStringList pictures = listPictures(m_dir.path());
    ScriptedDialogs dialogs;
    const auto items = planConversion(pictures, OutputFormat::Png, pictures, dialogs);
    ASSERT_EQ(items.size(), 3u);

    PictureConversion conversion(m_failing, m_qt);
    std::atomic_bool cancel{false};
    QList<int> progress;
    const auto results = conversion.run(
        items, OutputFormat::Png, [&](int index, const ConversionResult&) { progress << index; }, cancel);
    EXPECT_EQ(progress, (QList<int>{0, 1, 2}));
    ASSERT_EQ(results.size(), 3u);
    EXPECT_FALSE(results[0].converted); // broken.bmp
    EXPECT_FALSE(results[0].error.isEmpty());
    EXPECT_TRUE(results[1].converted);  // good.bmp
    EXPECT_FALSE(results[2].converted); // page.emf, through the failing renderer
    EXPECT_EQ(results[2].error, QStringLiteral("坏图片"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("broken.png"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("page.png"))));
}

TEST_F(PictureConversionTest, CancelStopsBeforeTheNextPicture)
{
    ASSERT_TRUE(sampleImage().save(path(QStringLiteral("a.bmp")), "BMP"));
    ASSERT_TRUE(sampleImage().save(path(QStringLiteral("b.bmp")), "BMP"));
    const QStringList pictures = listPictures(m_dir.path());
    ScriptedDialogs dialogs;
    const auto items = planConversion(pictures, OutputFormat::Png, pictures, dialogs);
    PictureConversion conversion(m_failing, m_qt);
    std::atomic_bool cancel{false};
    const auto results = conversion.run(
        items, OutputFormat::Png, [&](int, const ConversionResult&) { cancel = true; }, cancel);
    EXPECT_EQ(results.size(), 1u);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("b.png"))));
}
