#pragma once

#include "convert/PageRenderer.h"
#include "jobs/JobKind.h"

namespace quillet {

class JobWindow;
class OfficeEngine;
class TextViewer;

// The batch conversion job behind "批量文档转图片": every page of the chosen range of every listed
// document becomes "<name>-<page>.emf" in the output folder.
void RunConversionJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer);

// What the conversion job gives the shared frame, for runs of the frame outside the window: pages
// saved with `extension`, which must be that of the format the engine writes pages in.
JobKind ConversionJobKind(const QString& extension = kPagePictureExtension);

} // namespace quillet
