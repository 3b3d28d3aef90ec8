#pragma once

namespace make {

// Ctrl+C, SIGTERM and SIGHUP ask the run to stop as "Do you want to abort?" answered Yes
// would. A second Ctrl+C says the video is being finished; a third gives up at once: the
// unfinished video is removed and the output left as it was (ExitGaveUp). SIGPIPE is
// ignored.
void catchInterrupts();
bool interrupted();

} // namespace make
