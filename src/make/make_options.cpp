#include "make/make_options.h"

#include "avi/compressors.h"

#include <QCommandLineParser>
#include <cmath>

namespace make {

namespace {

QString fourccText(std::uint32_t code) {
    QString text;
    for (int i = 0; i < 4; ++i)
        text += QChar(char((code >> (8 * i)) & 0xFF));
    return text.trimmed();
}

struct Options {
    QCommandLineOption output{
        {"o", "output"},
        "Write the video to FILE (default PICREEL.avi in the current folder).",
        "FILE"};
    QCommandLineOption fps{{"r", "fps"},
                           "Frames per second, above 0 and up to 240; fractions such as 29.97 or "
                           "30000/1001 are kept exactly (default 1).",
                           "RATE"};
    QCommandLineOption duration{{"d", "duration"},
                                "Seconds each picture stays on screen (default 1); frames per "
                                "picture are this times the rate, rounded, at least 1.",
                                "SECONDS"};
    QCommandLineOption frames{{"f", "frames"}, "Frames per picture, instead of --duration.", "N"};
    QCommandLineOption compressor{
        {"c", "compressor"}, "Compressor, by FOURCC or name (default DIB, uncompressed).", "NAME"};
    QCommandLineOption listCompressors{"list-compressors",
                                       "List the compressors this machine offers and exit."};
    QCommandLineOption quality{{"q", "quality"}, "Compression quality, 0 to 100.", "0-100"};
    QCommandLineOption keyFrames{{"k", "keyframe-every"}, "A key frame every N frames.", "N"};
    QCommandLineOption dataRate{"data-rate", "Aim at KB kilobytes per second.", "KB"};
    QCommandLineOption overwrite{{"y", "overwrite"},
                                 "Replace an existing output file (otherwise it is refused)."};
    QCommandLineOption fromList{
        "from-list", "Read picture paths from FILE, one a line; - reads standard input.", "FILE"};
    QCommandLineOption null{{"0", "null"},
                            "The list file's paths end in NUL bytes (find -print0), not lines."};
    QCommandLineOption zeroLength{"zero-length-repeats",
                                  "Store a repeated frame as a zero-length frame (smaller files; "
                                  "never the first or last frame)."};
    QCommandLineOption size{"size",
                            "Make every frame WxH pixels (such as 1920x1080), each picture "
                            "scaled into it keeping its shape; see --fit.",
                            "WxH"};
    QCommandLineOption fit{"fit",
                           "How a picture of another shape fills the frame: pad (whole, with "
                           "bars; the default) or crop (filling it, the overflow cut evenly). "
                           "Without --size the frame is the first picture's size.",
                           "pad|crop"};
    QCommandLineOption background{"background",
                                  "The colour of the bars and of what shows through transparent "
                                  "pictures: #rrggbb or a name such as white (default black).",
                                  "COLOR"};
    QCommandLineOption quiet{"quiet", "Show no progress and no summary."};
    QCommandLineOption help{{"h", "help"}, "Show this help and exit."};
    QCommandLineOption version{"version", "Show the version and exit."};
};

// A whole number from lowest to highest, or nothing.
std::optional<qlonglong> wholeNumber(const QString& text, qlonglong lowest, qlonglong highest) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

const char* const exitStatusHelp =
    "\nExit status:\n"
    "  0    the video was written\n"
    "  1    the output could not be written (the reason is shown)\n"
    "  2    pictures differ in size or colour depth from the first\n"
    "  3    a picture or the list file cannot be read or fit in memory, or a name is not "
    "UTF-8\n"
    "  4    the output file exists and -y was not given\n"
    "  5    the compressor, the AVI format or players cannot take pictures of this size\n"
    "  64   bad arguments, an output that is one of the pictures, or over 1000000 pictures\n"
    "  130  interrupted; the file holds the frames written\n"
    "  131  a third Ctrl+C gave up; the output is as it was\n"
    "\nExamples:\n"
    "  picreel-make -r 25 -d 5 -c MJPG -o holiday.avi ~/Pictures/holiday\n"
    "  picreel-make --size 1920x1080 --fit crop --background white -o phone.avi DCIM/Camera\n";

ParsedCommandLine usage(const QString& why) {
    return {ParsedCommandLine::Action::Usage, {}, why};
}

} // namespace

const avi::Compressor* compressorNamed(const QString& name) {
    const QString wanted = name.trimmed();
    for (const avi::Compressor* c : avi::availableCompressors())
        for (const QString& known :
             {fourccText(c->fccHandler), QString::fromLatin1(c->encoder ? c->encoder : ""),
              QString::fromLatin1(c->name)})
            if (!known.isEmpty() && known.compare(wanted, Qt::CaseInsensitive) == 0)
                return c;
    return nullptr;
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Turns pictures (BMP, JPEG, GIF, PNG, WebP, TIFF) into one video-only AVI file, in the "
        "order given.\n"
        "A folder stands for its pictures in natural order (img2 before img10).");
    parser.addOptions({o.output, o.fps, o.duration, o.frames, o.compressor, o.listCompressors,
                       o.quality, o.keyFrames, o.dataRate, o.overwrite, o.fromList, o.null,
                       o.zeroLength, o.size, o.fit, o.background, o.quiet, o.help, o.version});
    parser.addPositionalArgument("PICTURE", "A picture file or a folder of pictures.",
                                 "[PICTURE...]");
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(o.help))
        return {ParsedCommandLine::Action::ShowHelp, {}, parser.helpText() + exitStatusHelp};
    if (parser.isSet(o.version))
        return {ParsedCommandLine::Action::ShowVersion, {}, {}};
    if (parser.isSet(o.listCompressors))
        return {ParsedCommandLine::Action::ListCompressors, {}, {}};

    MakeOptions m;
    if (parser.isSet(o.output))
        m.output = parser.value(o.output);
    if (m.output.isEmpty())
        return usage(QStringLiteral("the output file name is empty"));
    if (parser.isSet(o.fps)) {
        const auto rate = parseStreamRate(parser.value(o.fps));
        if (!rate)
            return usage(QStringLiteral("--fps wants a rate above 0 and up to 240, such as 25, "
                                        "29.97 or 30000/1001, not \"%1\"")
                             .arg(parser.value(o.fps)));
        m.rate = *rate;
    }
    if (parser.isSet(o.duration) && parser.isSet(o.frames))
        return usage(QStringLiteral("give --duration or --frames, not both"));
    if (parser.isSet(o.frames)) {
        const auto n = wholeNumber(parser.value(o.frames), 1, INT32_MAX);
        if (!n)
            return usage(QStringLiteral("--frames wants a whole number of at least 1"));
        m.framesPerPicture = std::int32_t(*n);
    } else {
        const QString text = parser.isSet(o.duration) ? parser.value(o.duration) : "1";
        bool ok = false;
        const double seconds = text.trimmed().toDouble(&ok);
        const double frames = std::round(seconds * m.rate.framesPerSecond());
        if (!ok || !(seconds > 0) || !(frames < INT32_MAX))
            return usage(QStringLiteral("--duration wants a number of seconds above 0"));
        m.framesPerPicture = std::max<std::int32_t>(1, std::int32_t(frames));
    }
    const QString compressorName =
        parser.isSet(o.compressor) ? parser.value(o.compressor) : QStringLiteral("DIB");
    m.compressor = compressorNamed(compressorName);
    if (!m.compressor)
        return usage(QStringLiteral("no compressor \"%1\" on this machine; "
                                    "--list-compressors shows those there are")
                         .arg(compressorName));
    if (parser.isSet(o.quality)) {
        const auto q = wholeNumber(parser.value(o.quality), 0, 100);
        if (!q)
            return usage(QStringLiteral("--quality wants a whole number from 0 to 100"));
        m.quality = int(*q);
    }
    if (parser.isSet(o.keyFrames)) {
        const auto k = wholeNumber(parser.value(o.keyFrames), 1, UINT32_MAX);
        if (!k)
            return usage(QStringLiteral("--keyframe-every wants a whole number of at least 1"));
        m.keyFrameEvery = std::uint32_t(*k);
    }
    if (parser.isSet(o.dataRate)) {
        const auto kb = wholeNumber(parser.value(o.dataRate), 1, UINT32_MAX / 1024);
        if (!kb)
            return usage(QStringLiteral("--data-rate wants a whole number of kilobytes"));
        m.dataRateKB = std::uint32_t(*kb);
    }
    m.overwrite = parser.isSet(o.overwrite);
    m.zeroLengthRepeats = parser.isSet(o.zeroLength);
    m.quiet = parser.isSet(o.quiet);
    m.listFile = parser.value(o.fromList);
    m.nulSeparatedList = parser.isSet(o.null);
    if (parser.isSet(o.background)) {
        m.background = QColor::fromString(parser.value(o.background).trimmed());
        if (!m.background.isValid())
            return usage(QStringLiteral("--background wants #rrggbb or a colour name such as "
                                        "white, not \"%1\"")
                             .arg(parser.value(o.background)));
        m.background.setAlpha(255);
    }
    if (parser.isSet(o.size) || parser.isSet(o.fit)) {
        picture::FrameFit fit;
        fit.background = m.background;
        if (parser.isSet(o.size)) {
            const QStringList sides = parser.value(o.size).trimmed().split(u'x');
            const auto width = wholeNumber(sides.value(0), 1, 65535);
            const auto height = wholeNumber(sides.value(1), 1, 65535);
            if (sides.size() != 2 || !width || !height)
                return usage(QStringLiteral("--size wants a width and height in pixels such as "
                                            "1920x1080, not \"%1\"")
                                 .arg(parser.value(o.size)));
            fit.frame = QSize(int(*width), int(*height));
        }
        const QString mode = parser.isSet(o.fit) ? parser.value(o.fit) : QStringLiteral("pad");
        if (mode != QLatin1String("pad") && mode != QLatin1String("crop"))
            return usage(QStringLiteral("--fit wants pad or crop, not \"%1\"").arg(mode));
        fit.mode = mode == QLatin1String("crop") ? picture::FrameFit::Mode::Crop
                                                 : picture::FrameFit::Mode::Pad;
        m.fit = fit;
    }
    m.pictureArguments = parser.positionalArguments();
    if (m.pictureArguments.isEmpty() && !parser.isSet(o.fromList))
        return usage(QStringLiteral("no pictures given"));
    return {ParsedCommandLine::Action::Run, m, {}};
}

} // namespace make
