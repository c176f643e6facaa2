// The chart in the corpus's shp-inline-shape-access.docx is an embedded object: the graphic export
// filter refuses it with an office message that is nothing but a place in the office's source. Its
// picture comes from the object's replacement picture, and a refusal like that reads as words.

#include "CorpusRun.h"
#include "OfficeProcessProbe.h"
#include "engine/libreoffice/DocumentLoading_p.h"
#include "engine/libreoffice/LibreOfficeSession_p.h"
#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoShapePictures_p.h"
#include "support/JobTestSupport.h"
#include "support/PictureChecks.h"

#include <QFile>
#include <QTemporaryDir>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;
namespace css = com::sun::star;

TEST(EmbeddedObjects, GiveTheirReplacementPictureAndTheFilterRefusalReadsAsWords)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString docx = dir.filePath(QStringLiteral("shp-inline-shape-access.docx"));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(QUILLET_CORPUS_DIR "/python-docx/shp-inline-shape-access.docx"), docx));
    QFile::setPermissions(docx, QFile::ReadOwner | QFile::WriteOwner);

    lo::LibreOfficeSession session;
    {
        const auto component = lo::loadWordProcessorDocument(session, docx);
        const css::uno::Reference<css::frame::XModel> model(component, css::uno::UNO_QUERY_THROW);
        css::uno::Reference<css::drawing::XShape> chart;
        for (const auto& shape :
             session.guarded(session.deadlineFor(0), [&] { return lo::listShapes(model, true); })) {
            css::uno::Reference<css::lang::XServiceInfo> info(shape, css::uno::UNO_QUERY);
            if (info.is() && info->supportsService("com.sun.star.text.TextEmbeddedObject"))
                chart = shape;
        }
        ASSERT_TRUE(chart.is()) << "the document's chart is an embedded object";

        const QByteArray bmp = session.guarded(
            session.deadlineFor(0), [&] { return lo::bmpOfShape(session.context(), chart, dir.path()); });
        EXPECT_TRUE(IsWellFormedBmp(bmp));
        EXPECT_GT(DecodeImage(bmp).width(), 50);

        try {
            session.guarded(session.deadlineFor(0), [&] {
                const css::uno::Reference<css::lang::XComponent> source(chart, css::uno::UNO_QUERY_THROW);
                return lo::exportGraphic(session.context(), source, QStringLiteral("image/bmp"),
                                         dir.filePath(QStringLiteral("refused.bmp")));
            });
            ADD_FAILURE() << "the graphic export filter took an embedded object";
        } catch (const EngineError& error) {
            EXPECT_EQ(UnreadableBecause(error.description()), QString()) << error.description().toStdString();
        }
        session.guarded(session.deadlineFor(0), [&] { lo::closeComponent(component); });
    }
    const qint64 group = session.pid();
    session.stop();
    EXPECT_TRUE(group == 0 || waitUntilGroupGone(group));
}
