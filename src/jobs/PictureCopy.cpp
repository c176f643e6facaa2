#include "jobs/PictureCopy.h"

#include "engine/Picture.h"
#include "jobs/SkipOnFailure.h"

namespace quillet {

void CopyAndSavePicture(SkipOnFailure& steps, PictureSlot& slot, const std::function<void()>& copy,
                        const std::function<QString()>& fileName)
{
    slot.clear();
    if (!steps.run(copy))
        return;
    Picture picture;
    steps.run([&] { picture = slot.fetch(); });
    if (picture.isEmpty())
        return;
    QString name;
    if (!steps.run([&] { name = fileName(); }))
        return;
    if (picture.isPending())
        steps.runLater([picture, name] { SavePicture(picture, name); });
    else
        steps.run([&] { SavePicture(picture, name); });
}

} // namespace quillet
