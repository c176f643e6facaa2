// The tree scan stays inside the chosen folder: Trash folders are skipped like system folders, a link
// to a folder is followed only into the tree, and hidden documents are still found.
#include "doclist/DocumentList.h"
#include "doclist/FolderScan.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillet {
namespace {

TEST(ScanFolder, StaysInsideTheChosenTree)
{
    QTemporaryDir outside, tree;
    const auto at = [&tree](const QString& relative) { return tree.filePath(relative); };
    for (const QString& document :
         {outside.filePath("elsewhere.doc"), at("a.doc"), at(".hidden.doc"), at(".h/h.doc"), at("S/b.doc"),
          at("S/T/c.doc"), at(QStringLiteral(".Trash-%1/files/gone.doc").arg(getuid())),
          at("home/.local/share/Trash/files/deleted.doc")}) {
        QDir().mkpath(QFileInfo(document).path());
        ASSERT_TRUE(QFile(document).open(QIODevice::WriteOnly));
    }
    for (const auto& [target, link] : {std::pair{QString("/"), at("slash")},
                                       {outside.path(), at("ext")},
                                       {at("S/T"), at("inside")},
                                       {tree.path(), at("S/up")}})
        ASSERT_TRUE(QFile::link(target, link));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", at("home/.local/share").toUtf8());
    DocumentList list;
    ScanFolder(list, tree.path(), false);
    dataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", dataHome);
    // "inside" comes before S: S/T's document comes that way, and S/T is not searched again.
    EXPECT_EQ(list.entries(), QStringList({at(".hidden.doc"), at("a.doc"), at(".h/h.doc"), at("inside/c.doc"),
                                           at("S/b.doc")}));
}

} // namespace
} // namespace quillet
