#include "doclist/FolderScan.h"

#include "doclist/DocumentList.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillet;

namespace {

// A real folder tree in a temporary folder; paths are given relative to its root.
class Tree
{
public:
    Tree() { EXPECT_TRUE(m_dir.isValid()); }
    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.path() + "/" + relative; }

    void file(const QString& relative)
    {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).path());
        QFile f(full);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    void folder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(path(relative))); }
    void link(const QString& relative, const QString& target)
    {
        ASSERT_TRUE(QFile::link(target, path(relative)));
    }

private:
    QTemporaryDir m_dir;
};

QStringList scan(const QString& folder, bool docx)
{
    DocumentList list;
    ScanFolder(list, folder, docx);
    return list.entries();
}

TEST(ScanFolder, FilesOfAFolderComeBeforeItsSubFolders)
{
    Tree t;
    t.file("S/T/c.doc");
    t.file("S/b.doc");
    t.file("a.doc");
    const QStringList expected{t.path("a.doc"), t.path("S/b.doc"), t.path("S/T/c.doc")};
    EXPECT_EQ(scan(t.root(), false), expected);
    EXPECT_EQ(scan(t.root() + "/", false), expected); // a trailing separator is not doubled
}

TEST(ScanFolder, SiblingsInNameOrderIgnoringCaseEachWithItsWholeSubtree)
{
    Tree t;
    t.file("b/2.doc");
    t.file("B2/3.doc");
    t.file("a/z/1.doc");
    t.file("a/0.doc");
    t.file("Z.doc");
    t.file("m.DOC");
    EXPECT_EQ(scan(t.root(), false),
              QStringList({t.path("m.DOC"), t.path("Z.doc"), t.path("a/0.doc"), t.path("a/z/1.doc"),
                           t.path("b/2.doc"), t.path("B2/3.doc")}));
}

TEST(ScanFolder, TakesOnlyDocumentSuffixesAndHiddenEntries)
{
    Tree t;
    t.file("a.doc");
    t.file("B.DOC");
    t.file(".hidden.doc");
    t.file("X.DOCX");
    t.file("report.doc.bak");
    t.file("letter.docm");
    t.file("note.rtf");
    t.file("doc");
    t.file(".h/h.doc");
    t.file("x.doc/inner.doc"); // a folder named like a document is searched, never added

    const QStringList withoutDocx{t.path(".hidden.doc"), t.path("a.doc"), t.path("B.DOC"), t.path(".h/h.doc"),
                                  t.path("x.doc/inner.doc")};
    EXPECT_EQ(scan(t.root(), false), withoutDocx);

    const QStringList withDocx{t.path(".hidden.doc"), t.path("a.doc"),    t.path("B.DOC"),
                               t.path("X.DOCX"),      t.path(".h/h.doc"), t.path("x.doc/inner.doc")};
    EXPECT_EQ(scan(t.root(), true), withDocx);
}

// Runs a scan as an unprivileged user when the tests run as root, since permissions do not
// bind root: the scan runs in a child process that gives up root first.
QStringList scanWithoutPrivileges(const QString& folder)
{
    if (geteuid() != 0)
        return scan(folder, false);
    int fds[2];
    if (pipe(fds) != 0)
        return {"pipe failed"};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        const QByteArray out = scan(folder, false).join('\n').toUtf8();
        const bool written = write(fds[1], out.constData(), size_t(out.size())) == out.size();
        _exit(written ? 0 : 3);
    }
    close(fds[1]);
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {"child failed"};
    return out.isEmpty() ? QStringList() : QString::fromUtf8(out).split('\n');
}

TEST(ScanFolder, AnUnreadableFolderContributesNothingAndTheScanGoesOn)
{
    Tree t;
    t.file("a/locked/x.doc");
    t.file("a/open.doc");
    t.file("b/y.doc");
    ASSERT_EQ(chmod(t.root().toLocal8Bit().constData(), 0755), 0); // reachable for the unprivileged child
    ASSERT_EQ(chmod(t.path("a/locked").toLocal8Bit().constData(), 0), 0);
    const QStringList found = scanWithoutPrivileges(t.root());
    chmod(t.path("a/locked").toLocal8Bit().constData(), 0755);
    EXPECT_EQ(found, QStringList({t.path("a/open.doc"), t.path("b/y.doc")}));
}

TEST(ScanFolder, MissingOrEmptyFolderAddsNothingAndListedPathsAreNotAddedTwice)
{
    Tree t;
    EXPECT_TRUE(scan(t.path("nowhere"), true).isEmpty());
    EXPECT_TRUE(scan(t.root(), true).isEmpty());

    t.file("a.doc");
    DocumentList list;
    list.AddToList(t.path("a.doc"));
    list.AddToList(t.path("A.doc")); // another spelling stays
    ScanFolder(list, t.root(), false);
    EXPECT_EQ(list.entries(), QStringList({t.path("a.doc"), t.path("A.doc")}));
}

TEST(FolderDocuments, FlatListingTakesTheFolderAloneIgnoringCase)
{
    Tree t;
    for (const char* name : {"X.DOC", "y.Doc", "z.rtf", "report.docm", "doc", "w.docx", ".h.doc"})
        t.file(name);
    t.file("sub/inner.doc");
    t.folder("f.doc");

    DocumentList list;
    addFolderDocuments(list, t.root(), false);
    EXPECT_EQ(list.entries(), QStringList({t.path(".h.doc"), t.path("X.DOC"), t.path("y.Doc")}));

    DocumentList withDocx;
    addFolderDocuments(withDocx, t.root() + "/", true);
    EXPECT_EQ(withDocx.entries(),
              QStringList({t.path(".h.doc"), t.path("w.docx"), t.path("X.DOC"), t.path("y.Doc")}));

    DocumentList none;
    addFolderDocuments(none, t.path("missing"), true);
    EXPECT_TRUE(none.isEmpty());
}

TEST(FolderDocuments, TrailingSeparator)
{
    EXPECT_EQ(withTrailingSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(withTrailingSeparator("/a/b/"), "/a/b/");
    EXPECT_EQ(withTrailingSeparator("/"), "/");
    EXPECT_EQ(withTrailingSeparator(" /a "), " /a /");
}

} // namespace
