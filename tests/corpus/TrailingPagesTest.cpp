// Pages after the end of the main text (endnotes only) hold nothing the view cursor can reach. The
// engine still presents them as pages: the whole-text selection ends past them, the page browser
// steps through them, and each one's range copies as its own page picture.
//
// Checked on a document built here (two pages of text, then endnotes over two more pages) in the
// three formats, and on the corpus's endnotes.docx, against a PDF export of the same file.

#include "CorpusWorkspace.h"
#include "OfficeProcessProbe.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "support/JobTestSupport.h"
#include "support/PictureChecks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

QByteArray EndnoteDocument()
{
    QString notes;
    for (int i = 1; i <= 90; ++i)
        notes += QStringLiteral("<text:p>Endnote line %1</text:p>").arg(i);
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:automatic-styles>
  <style:style style:name="PBreak" style:family="paragraph"><style:paragraph-properties fo:break-before="page"/></style:style>
 </office:automatic-styles>
 <office:body><office:text>
  <text:p>MAINPAGEONE opens the document.</text:p>
  <text:p text:style-name="PBreak">MAINPAGETWO carries a note<text:note text:id="n1" text:note-class="endnote"><text:note-citation>i</text:note-citation><text:note-body><text:p>ENDNOTEFIRST</text:p>%1<text:p>ENDNOTELAST</text:p></text:note-body></text:note> and ends the main text.</text:p>
 </office:text></office:body>
</office:document>
)")
        .arg(notes)
        .toUtf8();
}

struct Walk
{
    std::vector<CharPosition> starts;
    CharPosition end = 0;
};

// The walk exactly as the page renderer makes it.
Walk WalkPages(OfficeApplication& app, OfficeDocument& doc)
{
    Walk walk;
    doc.Select();
    walk.starts.push_back(app.Selection().Start());
    walk.end = app.Selection().End();
    app.Selection().Collapse(CollapseStart);
    app.Browser().setTarget(BrowseByPage);
    for (int guard = 0; guard < 100; ++guard) {
        app.Browser().Next();
        const CharPosition position = app.Selection().End();
        if (position <= walk.starts.back())
            break;
        walk.starts.push_back(position);
    }
    return walk;
}

class TrailingPages : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/quillet-trailing-XXXXXX"));
        ASSERT_TRUE(s_dir->isValid());
        const QString fodt = s_dir->filePath(QStringLiteral("notes.fodt"));
        QFile file(fodt);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(EndnoteDocument());
        file.close();
        const QString corpusCopy = s_dir->filePath(QStringLiteral("endnotes.docx"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLET_CORPUS_DIR "/mammoth/endnotes.docx"), corpusCopy));
        QFile::setPermissions(corpusCopy, QFile::ReadOwner | QFile::WriteOwner);
        const QString profile = s_dir->filePath(QStringLiteral("soffice-profile"));
        try {
            const QString dir = s_dir->path();
            ConvertWithSoffice({{{fodt}, QStringLiteral("docx:MS Word 2007 XML"), dir, profile + "-docx"},
                                {{fodt}, QStringLiteral("doc:MS Word 97"), dir, profile + "-doc"},
                                {{fodt}, QStringLiteral("rtf:Rich Text Format"), dir, profile + "-rtf"}});
            // One PDF folder per document: the three copies share a base name.
            QList<SofficeRun> pdfRuns;
            for (const QString& name : Documents()) {
                const QString pdfDir = s_dir->filePath(QStringLiteral("pdf-") + name);
                QDir().mkpath(pdfDir);
                pdfRuns.append({{s_dir->filePath(name)}, PdfTarget(), pdfDir, profile + "-pdf-" + name});
            }
            ConvertWithSoffice(pdfRuns);
            for (const QString& name : Documents()) {
                const QString pdf =
                    s_dir->filePath(QStringLiteral("pdf-") + name + QLatin1Char('/') +
                                    QFileInfo(name).completeBaseName() + QStringLiteral(".pdf"));
                (*s_layouts)[name] = ReadPdf(pdf);
            }
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static QStringList Documents()
    {
        return {QStringLiteral("notes.docx"), QStringLiteral("notes.doc"), QStringLiteral("notes.rtf"),
                QStringLiteral("endnotes.docx")};
    }

    static QTemporaryDir* s_dir;
    static QMap<QString, PdfLayout>* s_layouts;
};

QTemporaryDir* TrailingPages::s_dir = nullptr;
QMap<QString, PdfLayout>* TrailingPages::s_layouts = new QMap<QString, PdfLayout>;

} // namespace

TEST_F(TrailingPages, EveryLayoutPageIsWalkedAndCopiesAsItsOwnPicture)
{
    lo::LoApplication app;
    for (const QString& name : Documents()) {
        SCOPED_TRACE(name.toStdString());
        const PdfLayout layout = s_layouts->value(name);
        ASSERT_GT(layout.pages, 1) << "the endnotes lay out on pages of their own";
        auto doc = app.Documents().Open(s_dir->filePath(name));
        const Walk walk = WalkPages(app, *doc);
        ASSERT_EQ(static_cast<int>(walk.starts.size()), layout.pages);
        EXPECT_GT(walk.end, walk.starts.back());
        for (int page = 1; page <= layout.pages; ++page) {
            const CharPosition end = page < layout.pages ? walk.starts[page] : walk.end;
            doc->Range(walk.starts[page - 1], end)->Copy();
            const Picture picture = app.Clipboard().fetch();
            ASSERT_TRUE(IsWellFormedEmf(picture.bytes)) << "page " << page;
            const QStringList texts = EmfTexts(picture.bytes);
            EXPECT_EQ(WordsMissingFrom(layout.pageTexts.value(page - 1), texts), QStringList())
                << "page " << page;
            if (name.startsWith(QLatin1String("notes"))) {
                const QString joined = texts.join(QString());
                EXPECT_EQ(joined.contains(QLatin1String("ENDNOTELAST")), page == layout.pages)
                    << "page " << page;
                EXPECT_EQ(joined.contains(QLatin1String("MAINPAGETWO")), page == 2) << "page " << page;
            }
        }
        // A stretch that is not one page is no page picture, trailing pages included.
        doc->Range(walk.starts.back(), walk.end - 1)->Copy();
        EXPECT_TRUE(app.Clipboard().fetch().isEmpty());
        doc->Close(false);
    }
    const qint64 group = app.session().pid();
    app.Quit();
    EXPECT_TRUE(group == 0 || waitUntilGroupGone(group));
}
