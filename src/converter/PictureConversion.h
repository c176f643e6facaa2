#pragma once

// Converting a set of pictures of one folder, without any window: asking before an existing
// picture is replaced, rendering each picture and writing the result safely beside it.

#include "converter/PictureFolder.h"
#include "converter/PictureRenderer.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

namespace quillet {
class Dialogs;
}

namespace quillet::tessora {

struct ConversionItem
{
    QString source;
    QString target;
    bool mayReplace = false; // the user agreed to replace an existing target
};

struct ConversionResult
{
    QString source;
    QString target;
    bool converted = false;
    QString error; // for the user, when not converted
};

// The items for sources; where a target exists already the user is asked (Yes: replace it,
// No: that picture is left out).
std::vector<ConversionItem> planConversion(const QStringList& sources, OutputFormat format,
                                           const QStringList& folderPictures, Dialogs& dialogs);

QString replaceQuestion(const QString& target);

// Writes image to target through a temporary file beside it that is renamed at the end, so a
// failure never leaves a half-written picture. JPG has no transparency: transparent parts become
// white. A target that exists without mayReplace is not touched. Returns an error text or "".
QString writePicture(const QImage& image, const QString& target, OutputFormat format, bool mayReplace);

class PictureConversion
{
public:
    // emfRenderer renders .emf files, otherRenderer everything else.
    PictureConversion(PictureRenderer& emfRenderer, PictureRenderer& otherRenderer);

    ConversionResult convert(const ConversionItem& item, OutputFormat format);

    // Converts items in order, calling done after each; stops before the next item once cancel is
    // set. Returns the results of the items that were worked on.
    std::vector<ConversionResult> run(const std::vector<ConversionItem>& items, OutputFormat format,
                                      const std::function<void(int index, const ConversionResult&)>& done,
                                      const std::atomic_bool& cancel);

private:
    PictureRenderer& m_emfRenderer;
    PictureRenderer& m_otherRenderer;
};

} // namespace quillet::tessora
