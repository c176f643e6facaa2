// A picture linked to a place outside the document (as in the corpus's external-picture.docx) is
// never fetched: a web address would make the job wait on the network and tell its host who opened
// the document. The link here points at a local server the test runs; it must see no connection,
// and the document must still convert.

#include "CorpusRun.h"
#include "support/JobTestSupport.h"
#include "support/PictureChecks.h"

#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

quint32 Crc32(const QByteArray& data)
{
    quint32 crc = 0xffffffffu;
    for (const char c : data) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void Put32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// A zip archive of uncompressed entries: all a .docx needs.
QByteArray StoredZip(const QList<QPair<QByteArray, QByteArray>>& entries)
{
    QByteArray archive;
    QByteArray directory;
    for (const auto& [name, data] : entries) {
        const quint32 offset = static_cast<quint32>(archive.size());
        const quint32 crc = Crc32(data);
        const auto header = [&](QByteArray& out, bool central) {
            Put32(out, central ? 0x02014b50u : 0x04034b50u);
            if (central)
                Put16(out, 20); // made by
            Put16(out, 20);     // needed to extract
            Put16(out, 0);      // flags
            Put16(out, 0);      // stored
            Put16(out, 0);      // time
            Put16(out, 0x21);   // date: 1980-01-01
            Put32(out, crc);
            Put32(out, static_cast<quint32>(data.size()));
            Put32(out, static_cast<quint32>(data.size()));
            Put16(out, static_cast<quint16>(name.size()));
            Put16(out, 0); // extra
            if (central) {
                Put16(out, 0); // comment
                Put16(out, 0); // disk
                Put16(out, 0); // internal attributes
                Put32(out, 0); // external attributes
                Put32(out, offset);
            }
            out += name;
        };
        header(archive, false);
        archive += data;
        header(directory, true);
    }
    const quint32 directoryOffset = static_cast<quint32>(archive.size());
    archive += directory;
    Put32(archive, 0x06054b50u);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<quint16>(entries.size()));
    Put16(archive, static_cast<quint16>(entries.size()));
    Put32(archive, static_cast<quint32>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);
    return archive;
}

// One paragraph of text and a floating picture whose only source is `pictureUrl`.
QByteArray DocumentWithLinkedPicture(const QString& pictureUrl)
{
    const QByteArray types = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>)";
    const QByteArray rels = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)";
    const QByteArray documentRels = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="%1" TargetMode="External"/></Relationships>)")
                                        .arg(pictureUrl)
                                        .toUtf8();
    const QByteArray document = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture"><w:body><w:p><w:r><w:t>LINKEDPICTURE text beside the picture.</w:t></w:r><w:r><w:drawing><wp:anchor allowOverlap="1" behindDoc="0" distB="0" distL="0" distR="0" distT="0" layoutInCell="1" locked="0" relativeHeight="0" simplePos="0"><wp:simplePos x="0" y="0"/><wp:positionH relativeFrom="column"><wp:posOffset>3012440</wp:posOffset></wp:positionH><wp:positionV relativeFrom="paragraph"><wp:posOffset>0</wp:posOffset></wp:positionV><wp:extent cx="95250" cy="95250"/><wp:effectExtent b="0" l="0" r="0" t="0"/><wp:wrapSquare wrapText="largest"/><wp:docPr id="1" name="Picture"/><wp:cNvGraphicFramePr/><a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture"><pic:pic><pic:nvPicPr><pic:cNvPr id="0" name="Picture"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:link="rId2"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="95250" cy="95250"/></a:xfrm><a:prstGeom prst="rect"><a:avLst/></a:prstGeom></pic:spPr></pic:pic></a:graphicData></a:graphic></wp:anchor></w:drawing></w:r></w:p><w:sectPr><w:pgSz w:h="16838" w:w="11906"/><w:pgMar w:bottom="1134" w:footer="0" w:gutter="0" w:header="0" w:left="1134" w:right="1134" w:top="1134"/></w:sectPr></w:body></w:document>)";
    return StoredZip({{"[Content_Types].xml", types},
                      {"_rels/.rels", rels},
                      {"word/_rels/document.xml.rels", documentRels},
                      {"word/document.xml", document}});
}

} // namespace

TEST(LinkedPictures, AreNeverFetchedAndTheDocumentStillConverts)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString docx = dir.filePath(QStringLiteral("web-picture.docx"));
    {
        QFile file(docx);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(DocumentWithLinkedPicture(
            QStringLiteral("http://127.0.0.1:%1/picture.png").arg(server.serverPort())));
    }

    // The office connects from its own process: the server notices it without our event loop.
    const JobOutcome job = RunJob(JobType::Conversion, {docx}, dir.filePath(QStringLiteral("job")));
    EXPECT_FALSE(server.waitForNewConnection(2000)) << "the office fetched the linked picture";

    EXPECT_EQ(job.messages, QStringList{QStringLiteral("转换完毕！")});
    const DocumentOutcome& outcome = job.documents.value(docx);
    EXPECT_EQ(outcome.logLines, QStringList());
    ASSERT_EQ(outcome.files, QStringList{QStringLiteral("web-picture-1.emf")});
    const QByteArray emf = FileBytes(job.outputFolder + QStringLiteral("/web-picture-1.emf"));
    EXPECT_TRUE(IsWellFormedEmf(emf));
    EXPECT_TRUE(EmfTexts(emf).join(QString()).contains(QStringLiteral("LINKEDPICTURE")));
    EXPECT_EQ(job.officesLeft, QStringList());
}
