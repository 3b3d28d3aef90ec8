#pragma once

#include "make/rate_option.h"
#include "picture/frame_fit.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace avi {
struct Compressor;
}

namespace make {

// Everything a run of picreel-make was asked to do.
struct MakeOptions {
    QString output = QStringLiteral("PICREEL.avi");
    job::StreamRate rate;
    std::int32_t framesPerPicture = 1;
    const avi::Compressor* compressor = nullptr; // never null after a successful parse
    int quality = -1;                            // 0..100, -1 for the compressor's own
    std::uint32_t keyFrameEvery = 0;             // 0 for the compressor's own
    std::uint32_t dataRateKB = 0;                // 0: quality decides
    bool overwrite = false;
    bool zeroLengthRepeats = false;
    bool quiet = false;
    QStringList pictureArguments;  // pictures and folders, in the order given
    QString listFile;              // --from-list: a file of paths, "-" for standard input
    bool nulSeparatedList = false; // --null: its paths end in NUL bytes
    // --size or --fit: every picture fitted into one frame size; with --fit alone the frame
    // is empty until the first picture gives its size.
    std::optional<picture::FrameFit> fit;
    QColor background = Qt::black; // --background: bars, and what shows through transparency
};

struct ParsedCommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, ListCompressors, Usage };
    Action action = Action::Usage;
    MakeOptions options;
    QString text; // the help text, or the usage error for Action::Usage
};

// arguments as main() gets them, the program's name first.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// The compressor a -c value names: its FOURCC ("MJPG", "DIB"), its encoder ("mjpeg") or its
// name, case ignored; nullptr when this machine has none of that name.
const avi::Compressor* compressorNamed(const QString& name);

} // namespace make
