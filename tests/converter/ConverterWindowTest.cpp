// The converter's window on BMP pictures, answered through the scripted dialog layer.
#include "converter/window/ConverterWindow.h"

#include "converter/PictureConversion.h"
#include "support/FakeOffice.h"
#include "support/ScriptedDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::tessora;
using quillet::testing::ScriptedDialogs;

namespace {

class ConverterWindowTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    void saveBmp(const QString& name, QColor colour)
    {
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(path(name), "BMP"));
    }

    template <class T> T* child(const char* name)
    {
        return m_window->findChild<T*>(QString::fromLatin1(name));
    }

    // Clicks a conversion button and waits for the batch to end.
    void convertWith(const char* button)
    {
        QSignalSpy finished(m_window.get(), &ConverterWindow::batchFinished);
        child<QPushButton>(button)->click();
        if (m_window->busy())
            ASSERT_TRUE(finished.wait(120000));
    }

    QTemporaryDir m_dir;
    ScriptedDialogs m_dialogs;
    quillet::testing::FakeOffice m_office;
    std::unique_ptr<ConverterWindow> m_window;
};

} // namespace

TEST_F(ConverterWindowTest, WithoutAFolderItAsksForOne)
{
    saveBmp(QStringLiteral("a.bmp"), Qt::red);
    m_dialogs.folderAnswers << m_dir.path();
    m_window = std::make_unique<ConverterWindow>(m_dialogs, m_office, QString());
    m_window->openStartFolder();
    EXPECT_EQ(m_dialogs.folderRequests.size(), 1);
    EXPECT_EQ(m_window->folder(), m_dir.path());
    EXPECT_EQ(child<QListWidget>("lstPictures")->count(), 1);
}

TEST_F(ConverterWindowTest, ConvertsAllWithProgressAndOneLinePerFailure)
{
    saveBmp(QStringLiteral("a.bmp"), Qt::red);
    saveBmp(QStringLiteral("b.bmp"), Qt::green);
    QFile broken(path(QStringLiteral("c.bmp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    QFile existing(path(QStringLiteral("b.png")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();

    m_window = std::make_unique<ConverterWindow>(m_dialogs, m_office, m_dir.path());
    m_window->openStartFolder();
    EXPECT_TRUE(m_dialogs.folderRequests.isEmpty());
    ASSERT_EQ(child<QListWidget>("lstPictures")->count(), 3);

    m_dialogs.messageAnswers << MessageAnswer::No; // do not replace b.png
    convertWith("cmdConvertAll");

    ASSERT_GE(m_dialogs.messages.size(), 2);
    EXPECT_EQ(m_dialogs.messages[0].text, replaceQuestion(path(QStringLiteral("b.png"))));
    EXPECT_EQ(m_dialogs.messages.last().text, QStringLiteral("转换完毕：成功1个，失败1个。"));
    const QProgressBar* progress = child<QProgressBar>("barProgress");
    EXPECT_EQ(progress->maximum(), 2);
    EXPECT_EQ(progress->value(), 2);
    const QString report = child<QPlainTextEdit>("txtReport")->toPlainText();
    EXPECT_TRUE(report.startsWith(QStringLiteral("c.bmp："))) << report.toStdString();
    EXPECT_EQ(report.count(QLatin1Char('\n')), 0);
    EXPECT_EQ(QImage(path(QStringLiteral("a.png"))).pixelColor(3, 3), QColor(Qt::red));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("c.png"))));
    QFile kept(path(QStringLiteral("b.png")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep"));
    EXPECT_TRUE(child<QPushButton>("cmdConvertAll")->isEnabled());
}

TEST_F(ConverterWindowTest, ConvertsOnlyTheChosenPicturesToJpg)
{
    saveBmp(QStringLiteral("a.bmp"), Qt::red);
    saveBmp(QStringLiteral("b.bmp"), Qt::blue);
    m_window = std::make_unique<ConverterWindow>(m_dialogs, m_office, m_dir.path());
    m_window->openStartFolder();

    convertWith("cmdConvertSelected");
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_EQ(m_dialogs.messages[0].text, QStringLiteral("请先在列表中选择要转换的图片。"));

    child<QComboBox>("cboFormat")->setCurrentIndex(1);
    child<QListWidget>("lstPictures")->item(1)->setSelected(true);
    convertWith("cmdConvertSelected");
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("b.jpg"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.jpg"))));
    EXPECT_GT(QImage(path(QStringLiteral("b.jpg"))).pixelColor(3, 3).blue(), 200);
}

TEST_F(ConverterWindowTest, AFolderWithoutPicturesSaysSo)
{
    m_window = std::make_unique<ConverterWindow>(m_dialogs, m_office, m_dir.path());
    m_window->openStartFolder();
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), QStringLiteral("此文件夹中没有EMF或BMP图片。"));
    convertWith("cmdConvertAll");
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_EQ(m_dialogs.messages[0].text, QStringLiteral("此文件夹中没有EMF或BMP图片。"));
}
