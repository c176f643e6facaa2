#pragma once

#include "jobs/JobKind.h"

namespace quillet {

class JobWindow;
class OfficeEngine;
class TextViewer;

// The batch extraction job behind "批量提取文档中图片": every drawing object of every listed
// document becomes "<name>-<n>.bmp" in the output folder. Selects "全部" before it runs.
void RunExtractionJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer);

// What the extraction job gives the shared frame, for runs of the frame outside the window.
JobKind ExtractionJobKind();

} // namespace quillet
