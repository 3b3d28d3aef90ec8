#pragma once

namespace make {

// What picreel-make tells the shell; the man page lists the same.
enum ExitStatus : int {
    ExitDone = 0,
    ExitWriteFailed = 1,       // the output could not be opened, written or completed
    ExitPicturesDiffer = 2,    // a picture's size or depth differs from the first's
    ExitPictureUnreadable = 3, // a picture (or the list file) cannot be read
    ExitOutputExists = 4,      // the output exists and -y was not given
    ExitCompressorRefused = 5, // the compressor, the AVI format or players cannot take the size
    ExitUsage = 64,            // bad arguments, as sysexits' EX_USAGE
    ExitInterrupted = 130,     // SIGINT, SIGTERM or SIGHUP: the file holds the frames written
    ExitGaveUp = 131,          // a third SIGINT: the unfinished video removed, the output as it was
};

} // namespace make
