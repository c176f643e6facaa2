#pragma once

#include "pdfpages/PagePictures.h"

#include <cstddef>
#include <functional>
#include <future>

namespace quillet::pdfpages {

// Finishes pages aside (compresses rasters) on threads kept for the whole run, one per core, shared by
// every document: a fresh thread's first page costs half as much again, in the memory its
// compressor sets up. Work runs in the order it is sent; with no thread to be had, at once.
std::shared_future<PagePicture> finishAside(std::function<PagePicture()> work);
// How many threads finish pages aside: one per core.
std::size_t asideThreadCount();

// Puts the calling thread behind the office's in the processor's queue: a page picture can wait,
// while the office's next step is what the job waits for. For the threads that write pages.
void runBehindTheOffice();

} // namespace quillet::pdfpages
