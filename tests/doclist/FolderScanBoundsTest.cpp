// The tree scan stays inside the folder the user chose: Trash folders are skipped like the system
// folders they stand for, a link to a folder is followed only into the tree, and hidden documents
// are still found.

#include "doclist/DocumentList.h"
#include "doclist/FolderScan.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace quillet;

namespace {

void makeFile(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(ScanFolder, StaysInsideTheChosenTree)
{
    QTemporaryDir outside;
    makeFile(outside.filePath("elsewhere.doc"));
    QTemporaryDir tree;
    const auto at = [&tree](const QString& relative) { return tree.filePath(relative); };
    for (const QString& document : QStringList{"a.doc", ".hidden.doc", ".h/h.doc", "S/b.doc", "S/T/c.doc",
                                               QStringLiteral(".Trash-%1/files/gone.doc").arg(getuid()),
                                               "home/.local/share/Trash/files/deleted.doc"})
        makeFile(at(document));
    ASSERT_TRUE(QFile::link("/", at("slash")));
    ASSERT_TRUE(QFile::link(outside.path(), at("ext")));
    ASSERT_TRUE(QFile::link(at("S/T"), at("inside"))); // met before S: its documents come by this way
    ASSERT_TRUE(QFile::link(tree.path(), at("S/up"))); // a cycle
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", at("home/.local/share").toUtf8());

    DocumentList list;
    ScanFolder(list, tree.path(), false);
    if (dataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", dataHome);
    EXPECT_EQ(list.entries(), QStringList({at(".hidden.doc"), at("a.doc"), at(".h/h.doc"), at("inside/c.doc"),
                                           at("S/b.doc")}));
}

} // namespace
