#pragma once

#include <QString>
#include <functional>

namespace quillet {

class PictureSlot;
class SkipOnFailure;

// One picture of a worker: empty the slot, copy, fetch, and save what was delivered under the
// name fileName() gives. Each part is a skip-on-failure step of `steps`; a copy that failed or
// delivered nothing writes no file, so an earlier picture never lands under this name. A picture
// still being written is saved later, by the steps' picture saver.
void CopyAndSavePicture(SkipOnFailure& steps, PictureSlot& slot, const std::function<void()>& copy,
                        const std::function<QString()>& fileName);

} // namespace quillet
