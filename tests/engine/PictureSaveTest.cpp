#include "engine/EngineError.h"
#include "engine/Picture.h"
#include "support/JobTestSupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace quillet;
using namespace quillet::testing;

// A picture replaces the file whole; a failed save names the file and leaves the old picture whole.
TEST(SavePicture, ReplacesTheFileWholeOrFailsNamingItAndKeepingTheOld)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("a-1.emf");
    SavePicture({"first, longer", "emf"}, name);
    SavePicture({"old", "emf"}, name);
    // A folder that is a file: not even root can write there.
    try {
        SavePicture({"x", "emf"}, name + "/a-2.emf");
        ADD_FAILURE() << "saving under a file should fail";
    } catch (const EngineError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::PathAccess);
        EXPECT_TRUE(error.description().contains(name + "/a-2.emf")) << error.description().toStdString();
    }
    // A write cut short: a full disk, here a file-size limit.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const rlimit small{8, before.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(SavePicture({QByteArray(1000, 'x'), "emf"}, name), EngineError);
    ::setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(FileBytes(name), "old");
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"a-1.emf"});
}
