#include "converter/PictureConversion.h"

#include "platform/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

namespace quillet::tessora {

std::vector<ConversionItem> planConversion(const QStringList& sources, OutputFormat format,
                                           const QStringList& folderPictures, Dialogs& dialogs)
{
    std::vector<ConversionItem> items;
    for (const QString& source : sources) {
        ConversionItem item{source, outputPathFor(source, format, folderPictures), false};
        if (QFileInfo::exists(item.target)) {
            if (dialogs.message(replaceQuestion(item.target), MessageIcon::Question, MessageButtons::YesNo) !=
                MessageAnswer::Yes)
                continue;
            item.mayReplace = true;
        }
        items.push_back(item);
    }
    return items;
}

QString replaceQuestion(const QString& target)
{
    return QStringLiteral("“%1”已存在，要替换它吗？").arg(QDir::toNativeSeparators(target));
}

QString writePicture(const QImage& image, const QString& target, OutputFormat format, bool mayReplace)
{
    if (!mayReplace && QFileInfo::exists(target))
        return QStringLiteral("“%1”已存在，未替换。").arg(QFileInfo(target).fileName());

    QImage output = image;
    if (format == OutputFormat::Jpg && image.hasAlphaChannel()) {
        output = QImage(image.size(), QImage::Format_RGB32);
        output.setDotsPerMeterX(image.dotsPerMeterX());
        output.setDotsPerMeterY(image.dotsPerMeterY());
        output.fill(Qt::white);
        QPainter painter(&output);
        painter.drawImage(0, 0, image);
    }

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("无法写入“%1”：%2").arg(QFileInfo(target).fileName(), file.errorString());
    const char* qtFormat = format == OutputFormat::Png ? "PNG" : "JPG";
    if (!output.save(&file, qtFormat, format == OutputFormat::Jpg ? 90 : -1)) {
        file.cancelWriting();
        return QStringLiteral("无法写入“%1”。").arg(QFileInfo(target).fileName());
    }
    if (!file.flush() || !file.commit()) // commit() alone can keep a tail that never reached the disk
        return QStringLiteral("无法写入“%1”：%2").arg(QFileInfo(target).fileName(), file.errorString());
    return QString();
}

PictureConversion::PictureConversion(PictureRenderer& emfRenderer, PictureRenderer& otherRenderer)
    : m_emfRenderer(emfRenderer), m_otherRenderer(otherRenderer)
{}

ConversionResult PictureConversion::convert(const ConversionItem& item, OutputFormat format)
{
    ConversionResult result{item.source, item.target, false, QString()};
    const bool emf = QFileInfo(item.source).suffix().compare(QLatin1String("emf"), Qt::CaseInsensitive) == 0;
    const RenderedPicture rendered = (emf ? m_emfRenderer : m_otherRenderer).render(item.source);
    if (rendered.image.isNull()) {
        result.error = rendered.error.isEmpty() ? QStringLiteral("无法读取图片。") : rendered.error;
        return result;
    }
    result.error = writePicture(rendered.image, item.target, format, item.mayReplace);
    result.converted = result.error.isEmpty();
    return result;
}

std::vector<ConversionResult>
PictureConversion::run(const std::vector<ConversionItem>& items, OutputFormat format,
                       const std::function<void(int index, const ConversionResult&)>& done,
                       const std::atomic_bool& cancel)
{
    std::vector<ConversionResult> results;
    for (std::size_t i = 0; i < items.size() && !cancel; ++i) {
        results.push_back(convert(items[i], format));
        if (done)
            done(static_cast<int>(i), results.back());
    }
    return results;
}

} // namespace quillet::tessora
