// A real EMF, made by LibreOffice from a drawing, rendered to PNG through a private office.
#include "converter/EmfRenderer.h"
#include "converter/PictureConversion.h"
#include "converter/window/ConverterWindow.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
using namespace quillet;
using namespace quillet::tessora;

namespace {

// 4 cm x 3 cm: the left half red, the right half blue.
const char kDrawing[] =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="4cm" height="3cm" viewBox="0 0 400 300">
<rect x="0" y="0" width="200" height="300" fill="#ff0000"/>
<rect x="200" y="0" width="200" height="300" fill="#0000ff"/>
</svg>
)";

// Converts the drawing to EMF with a private soffice of its own (own profile), waiting for it.
QString makeEmf(const QString& folder)
{
    const QString svg = QDir(folder).filePath(QStringLiteral("drawing.svg"));
    QFile file(svg);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(kDrawing);
    file.close();
    QTemporaryDir profile;
    QProcess soffice;
    soffice.start(
        QStringLiteral("soffice"),
        QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                    QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                    QStringLiteral("--convert-to"), QStringLiteral("emf"), QStringLiteral("--outdir"), folder,
                    svg});
    if (!soffice.waitForFinished(240000)) {
        soffice.kill();
        soffice.waitForFinished(-1);
        return QString();
    }
    QFile::remove(svg);
    const QString emf = QDir(folder).filePath(QStringLiteral("drawing.emf"));
    return QFile::exists(emf) ? emf : QString();
}

// Office processes running on a private profile of this test program.
int officesOfThisProgram()
{
    const QByteArray marker = "quillet-lo-" + QByteArray::number(QCoreApplication::applicationPid()) + '-';
    int count = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (entry.toInt() > 0 && cmdline.open(QIODevice::ReadOnly)) {
            const QByteArray command = cmdline.readAll();
            if (command.contains("soffice") && command.contains(marker))
                ++count;
        }
    }
    return count;
}

QByteArray header(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(64) : QByteArray();
}

} // namespace

TEST(EmfPixelSize, ReadsTheFrameAndRefusesWhatIsNoEmf)
{
    QByteArray emf(64, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    auto put = [&](int offset, qint32 value) { qToLittleEndian(value, emf.data() + offset); };
    put(24, 0);
    put(28, 0);
    put(32, 21000); // 210 mm
    put(36, 29700); // 297 mm
    EXPECT_EQ(emfPixelSize(emf, 96), QSize(794, 1123));
    EXPECT_EQ(emfPixelSize(emf, 150), QSize(1240, 1754));
    EXPECT_FALSE(emfPixelSize(emf.left(40), 96));
    QByteArray notEmf = emf;
    notEmf[0] = 2;
    EXPECT_FALSE(emfPixelSize(notEmf, 96));
    put(32, 0);
    EXPECT_FALSE(emfPixelSize(emf, 96)); // empty frame
}

TEST(EmfConversion, ARealEmfBecomesAPngOfItsSizeAndColours)
{
    QTemporaryDir dir;
    const QString emf = makeEmf(dir.path());
    ASSERT_FALSE(emf.isEmpty()) << "LibreOffice could not make the test EMF";
    const std::optional<QSize> expected = emfPixelSize(header(emf), 96);
    ASSERT_TRUE(expected);
    // The drawing is 4 cm x 3 cm: about 151 x 113 pixels at 96 dpi.
    EXPECT_NEAR(expected->width(), 151, 15);
    EXPECT_NEAR(expected->height(), 113, 15);

    quillet::lo::LibreOfficeEngine engine;
    {
        EmfRenderer renderer(engine, 96);
        QtImageRenderer others;
        PictureConversion conversion(renderer, others);
        quillet::testing::ScriptedDialogs dialogs;
        const QStringList pictures = listPictures(dir.path());
        const auto items = planConversion(pictures, OutputFormat::Png, pictures, dialogs);
        ASSERT_EQ(items.size(), 1u);
        const ConversionResult result = conversion.convert(items[0], OutputFormat::Png);
        ASSERT_TRUE(result.converted) << result.error.toStdString();
        EXPECT_GT(officesOfThisProgram(), 0);

        const QImage png(QDir(dir.path()).filePath(QStringLiteral("drawing.png")));
        ASSERT_EQ(png.size(), *expected);
        const int w = png.width(), h = png.height();
        const QColor left = png.pixelColor(w / 4, h / 2);
        const QColor right = png.pixelColor(3 * w / 4, h / 2);
        EXPECT_GT(left.red(), 200);
        EXPECT_LT(left.blue(), 60);
        EXPECT_LT(right.red(), 60);
        EXPECT_GT(right.blue(), 200);

        // The same picture as JPG, through the same office.
        const ConversionResult jpg = conversion.convert(
            ConversionItem{emf, QDir(dir.path()).filePath(QStringLiteral("drawing.jpg")), false},
            OutputFormat::Jpg);
        ASSERT_TRUE(jpg.converted) << jpg.error.toStdString();
        EXPECT_EQ(QImage(jpg.target).size(), *expected);
    }
    // The renderer stopped its office when it went.
    EXPECT_EQ(officesOfThisProgram(), 0);
}

TEST(EmfConversion, ABrokenEmfIsAClearErrorWithoutAnOffice)
{
    QTemporaryDir dir;
    const QString broken = QDir(dir.path()).filePath(QStringLiteral("broken.emf"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is not a metafile at all, not even close to one............");
    file.close();
    quillet::lo::LibreOfficeEngine engine;
    EmfRenderer renderer(engine, 96);
    const RenderedPicture rendered = renderer.render(broken);
    EXPECT_TRUE(rendered.image.isNull());
    EXPECT_FALSE(rendered.error.isEmpty());
    EXPECT_EQ(officesOfThisProgram(), 0);
}

TEST(EmfConversion, TheWindowConvertsAnEmfOnItsWorkerThreadAndStopsItsOffice)
{
    QTemporaryDir dir;
    const QString emf = makeEmf(dir.path());
    ASSERT_FALSE(emf.isEmpty()) << "LibreOffice could not make the test EMF";
    const std::optional<QSize> size = emfPixelSize(header(emf), 300);
    ASSERT_TRUE(size);

    quillet::testing::ScriptedDialogs dialogs;
    quillet::lo::LibreOfficeEngine engine;
    ConverterWindow window(dialogs, engine, dir.path());
    window.openStartFolder();
    window.findChild<QComboBox*>(QStringLiteral("cboResolution"))->setCurrentIndex(2); // 300 DPI
    QSignalSpy finished(&window, &ConverterWindow::batchFinished);
    window.findChild<QPushButton*>(QStringLiteral("cmdConvertAll"))->click();
    ASSERT_TRUE(finished.wait(600000));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
    EXPECT_EQ(finished.at(0).at(1).toInt(), 0);

    const QImage png(QDir(dir.path()).filePath(QStringLiteral("drawing.png")));
    ASSERT_EQ(png.size(), *size);
    EXPECT_GT(png.pixelColor(png.width() / 4, png.height() / 2).red(), 200);
    EXPECT_GT(png.pixelColor(3 * png.width() / 4, png.height() / 2).blue(), 200);
    // The worker's office went with the batch.
    EXPECT_FALSE(window.busy());
    EXPECT_EQ(officesOfThisProgram(), 0);
}
