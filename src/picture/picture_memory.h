#pragma once

namespace picture {

// Pictures are decoded into buffers of megabytes, one after another. By default glibc maps
// each such buffer afresh and unmaps it when freed, so every page of every picture faults in
// zeroed: over a run of camera pictures that costs about as much as decoding them. Kept in
// the heap instead, the next picture reuses the pages of the one before. Called once at the
// start of a program, before any thread is made.
void KeepPictureBuffersInTheHeap();

} // namespace picture
