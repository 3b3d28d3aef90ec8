#pragma once

namespace make {

// Ctrl+C and SIGTERM ask the run to stop as "Do you want to abort?" answered Yes would; a
// second one ends the program at once, for a run that no longer listens.
void catchInterrupts();
bool interrupted();

} // namespace make
