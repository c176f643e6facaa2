#include "engine/EngineError.h"
#include "engine/Picture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <gtest/gtest.h>

using namespace quillet;

TEST(SavePicture, ReplacesTheFileWholeOrFailsNamingIt)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("a-1.emf");
    SavePicture({"first, longer", "emf"}, name);
    SavePicture({"second", "emf"}, name);
    QFile saved(name);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "second");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a-1.emf"});

    // A folder that is a file: not even root can write there.
    try {
        SavePicture({"x", "emf"}, name + "/a-2.emf");
        FAIL() << "saving under a file should fail";
    } catch (const EngineError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::PathAccess);
        EXPECT_TRUE(error.description().contains(name + "/a-2.emf")) << error.description().toStdString();
    }
}

// A write cut short (a full disk, here a file-size limit) fails and keeps the old picture whole.
TEST(SavePicture, AWriteCutShortFailsAndKeepsTheOldPicture)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("a-1.emf");
    SavePicture({"old", "emf"}, name);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit before = limit;
    limit.rlim_cur = 8;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_THROW(SavePicture({QByteArray(1000, 'x'), "emf"}, name), EngineError);
    ::setrlimit(RLIMIT_FSIZE, &before);
    QFile saved(name);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a-1.emf"});
}
