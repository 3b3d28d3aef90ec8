#pragma once

#include <QString>

namespace job {

class JobHost;

enum class JobEnd {
    Completed, // every frame written
    Aborted,   // the user chose to abort; the file is complete up to the last frame
    Stopped,   // the compression choice was cancelled or a step failed; the user was told
};

// Writes every listed picture into the AVI file at aviPath, each for the frames its duration
// asks for, with the compressor the user picks. The file is replaced, written and completed
// whatever the outcome, holding the frames written until the end.
JobEnd writeAviFile(JobHost& host, const QString& aviPath);

} // namespace job
