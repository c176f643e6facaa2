#include "engine/EngineError.h"
#include "engine/Picture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillet;

namespace {

QByteArray readAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(SavePicture, ReplacesExistingFileAndNeverLeavesAPartialOne)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("a-1.emf");
    SavePicture({"first", "emf"}, name);
    SavePicture({"second, longer", "emf"}, name);
    EXPECT_EQ(readAll(name), "second, longer");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a-1.emf"});

    // A folder that cannot be written: a clear failure, the old picture untouched.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFile(dir.filePath("probe")).open(QIODevice::WriteOnly); // root ignores modes
    if (!writable) {
        try {
            SavePicture({"third", "emf"}, name);
            FAIL() << "saving into a read-only folder should fail";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::PathAccess);
            EXPECT_TRUE(e.description().contains("a-1.emf"));
        }
        EXPECT_EQ(readAll(name), "second, longer");
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_THROW(SavePicture({"x", "emf"}, dir.filePath("no/such/folder/a-1.emf")), EngineError);
}

} // namespace
