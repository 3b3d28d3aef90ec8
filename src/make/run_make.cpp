#include "make/run_make.h"

#include "avi/avi_records.h"
#include "avi/compressors.h"
#include "avi/mavidecs.h"
#include "job/listed_output.h"
#include "job/make_avi_job.h"
#include "make/avi_failure_reason.h"
#include "make/command_line_host.h"
#include "make/compressor_probe.h"
#include "make/console_boxes.h"
#include "make/exit_status.h"
#include "make/format_survey.h"
#include "make/interrupt.h"
#include "make/picture_arguments.h"
#include "make/progress_meter.h"
#include "picture/picture_error.h"

#include <QFileInfo>
#include <QThread>
#include <unistd.h>

namespace make {

namespace {

void say(std::FILE* err, const QString& text) {
    std::fprintf(err, "picreel-make: %s\n", qPrintable(text));
}

QString formatText(const picture::PictureFormat& f) {
    return QStringLiteral("%1 x %2, %3 bits").arg(f.Width).arg(f.Height).arg(f.BitCount);
}

// The window's own warning, on one line, then every picture that differs.
void reportDiffering(std::FILE* err, const Survey& survey) {
    say(err, QStringLiteral("This picture file (%1) is a different size or colour depth. NB: "
                            "The first picture file in the list sets the frame size and color "
                            "depth of the AVI. Hint: Try preparing your pictures using "
                            "SIZEMATE.EXE first.")
                 .arg(survey.differing.first().path));
    say(err, QStringLiteral("%1 pictures differ from the first (%2):")
                 .arg(survey.differing.size())
                 .arg(formatText(survey.first)));
    for (const DifferingPicture& d : survey.differing)
        std::fprintf(err, "  %s: %s\n", qPrintable(d.path), qPrintable(formatText(d.format)));
}

mAVIDecs::AVI_COMPRESS_OPTIONS compressOptions(const MakeOptions& o) {
    using namespace mAVIDecs;
    AVI_COMPRESS_OPTIONS c;
    c.fccType = mmioStringToFOURCCA("vids", 0);
    c.fccHandler = o.compressor->fccHandler;
    c.dwFlags = AVICOMPRESSF_VALID;
    if (o.quality >= 0)
        c.dwQuality = std::uint32_t(std::max(1, o.quality * 100));
    if (o.keyFrameEvery) {
        c.dwFlags |= AVICOMPRESSF_KEYFRAMES;
        c.dwKeyFrameEvery = o.keyFrameEvery;
    }
    if (o.dataRateKB) {
        c.dwFlags |= AVICOMPRESSF_DATARATE;
        c.dwBytesPerSecond = o.dataRateKB * 1024;
    }
    if (o.zeroLengthRepeats)
        c.dwFlags |= AVICOMPRESSF_NULLFRAMES;
    return c;
}

QString summary(const MakeOptions& o, qint64 frames) {
    const double seconds = double(frames) * o.rate.scale / o.rate.rate;
    return QStringLiteral("%1: %2 frames, %3 s, %4 MB, %5")
        .arg(o.output)
        .arg(frames)
        .arg(QString::number(seconds, 'f', 3))
        .arg(QString::number(QFileInfo(o.output).size() / 1e6, 'f', 1))
        .arg(QString::fromLatin1(o.compressor->name));
}

// Fills the compression options from the command line where the window shows its dialog.
class ChosenCompression {
public:
    explicit ChosenCompression(const MakeOptions& o) {
        const auto chosen = compressOptions(o);
        previous_ =
            mAVIDecs::setSaveOptionsDialog([chosen](QObject*, const mAVIDecs::SaveOptionsRequest&,
                                                    mAVIDecs::AVI_COMPRESS_OPTIONS& options) {
                options = chosen;
                return 1;
            });
    }
    ~ChosenCompression() { mAVIDecs::setSaveOptionsDialog(std::move(previous_)); }

private:
    mAVIDecs::SaveOptionsDialog previous_;
};

int writeVideo(const MakeOptions& o, const QStringList& pictures, std::FILE* err) {
    ConsoleBoxes boxes;
    platform::Platform* before = platform::install(&boxes);
    const ChosenCompression chosen(o);
    const qint64 total = qint64(pictures.size()) * o.framesPerPicture;
    ProgressMeter meter(o.quiet               ? ProgressMeter::Style::Silent
                        : isatty(fileno(err)) ? ProgressMeter::Style::Live
                                              : ProgressMeter::Style::Lines,
                        err, total, int(pictures.size()));
    // The process's pool has a worker for every core: the job's own thread, which encodes
    // and writes, shares the cores with them rather than keeping one of its own.
    const int decoders = std::max(1, QThread::idealThreadCount());
    job::JobEnd end;
    std::optional<QString> pictureFailure;
    bool pictureChanged = false;
    {
        CommandLineHost host(pictures, o, decoders, meter);
        mAVIDecs::AVIFileInit();
        end = job::writeAviFile(host, o.output);
        pictureFailure = host.pictureFailure();
        pictureChanged = host.pictureChanged();
    }
    meter.finish();
    platform::install(before);

    if (pictureFailure) {
        say(err, *pictureFailure);
        // Without a frame the output is left as it was, or not made at all.
        say(err, meter.framesWritten() == 0
                     ? QStringLiteral("nothing was written to %1").arg(o.output)
                     : QStringLiteral("%1 holds the %2 frames written before it")
                           .arg(o.output)
                           .arg(meter.framesWritten()));
        return pictureChanged ? ExitPicturesDiffer : ExitPictureUnreadable;
    }
    if (end == job::JobEnd::Stopped) {
        QString reason = aviFailureReason();
        if (reason.isEmpty())
            reason = boxes.prompts().value(0, QStringLiteral("the AVI layer gave no reason"));
        say(err, QStringLiteral("%1: %2").arg(o.output, reason));
        return ExitWriteFailed;
    }
    if (!o.quiet)
        say(err, (end == job::JobEnd::Aborted ? QStringLiteral("interrupted; wrote ")
                                              : QStringLiteral("wrote ")) +
                     summary(o, meter.framesWritten()));
    return end == job::JobEnd::Aborted ? ExitInterrupted : ExitDone;
}

} // namespace

QString compressorTable() {
    QString table;
    for (const avi::Compressor* c : avi::availableCompressors()) {
        const QString code = QString::fromLatin1(avi::fourccText(c->fccHandler));
        table += QStringLiteral("%1  %2  %3  %4\n")
                     .arg(code, QString::fromLatin1(c->name).leftJustified(32),
                          (c->lossless ? QStringLiteral("lossless") : QStringLiteral("lossy"))
                              .leftJustified(8),
                          QString::fromLatin1(c->players));
    }
    return table;
}

int runMake(const MakeOptions& o, std::FILE* in, std::FILE* err) {
    QStringList pictures;
    try {
        pictures = expandPictureArguments(o.pictureArguments, {o.listFile, o.nulSeparatedList, in},
                                          interrupted);
    } catch (const picture::PictureError& e) {
        say(err, e.message());
        return ExitPictureUnreadable;
    } catch (const ListingStopped& e) {
        say(err, e.message);
        return e.why == ListingStopped::Why::Interrupted ? ExitInterrupted : ExitUsage;
    }
    if (pictures.isEmpty()) {
        say(err, QStringLiteral("no BMP, JPEG or GIF pictures in the arguments given"));
        return ExitUsage;
    }
    if (qint64(pictures.size()) * o.framesPerPicture > INT32_MAX) {
        say(err, QStringLiteral("more frames than one AVI file holds"));
        return ExitUsage;
    }
    if (const auto at = job::listedPictureAt(o.output, pictures)) {
        say(err, QStringLiteral("%1 is one of the pictures (%2); give the video another name")
                     .arg(o.output, pictures[*at]));
        return ExitUsage;
    }
    if (QFileInfo::exists(o.output) && !o.overwrite) {
        say(err, QStringLiteral("%1 exists; -y replaces it").arg(o.output));
        return ExitOutputExists;
    }

    // Every picture is looked at before the output is touched.
    // The writer compares each frame with the one before when repeats become empty frames or
    // reuse the encoded bytes, and keeps a copy for it.
    const bool writerKeepsFrame =
        o.zeroLengthRepeats || (o.compressor->encoder != nullptr && o.compressor->intraOnly);
    const Survey survey =
        surveyPictureFormats(pictures, interrupted,
                             {.writerKeepsFrame = writerKeepsFrame, .anySize = o.fit.has_value()});
    if (!survey.completed) {
        say(err, QStringLiteral("interrupted; nothing was written"));
        return ExitInterrupted;
    }
    if (!survey.unreadable.isEmpty()) {
        for (const QString& why : survey.unreadable)
            say(err, why);
        return ExitPictureUnreadable;
    }
    if (!survey.differing.isEmpty()) {
        reportDiffering(err, survey);
        return ExitPicturesDiffer;
    }
    // Fitted without a size of their own, the frames take the first picture's upright size.
    MakeOptions run = o;
    if (run.fit && run.fit->frame.isEmpty())
        run.fit->frame = QSize(survey.first.Width, survey.first.Height);
    const picture::PictureFormat frame =
        run.fit ? picture::PictureFormat{run.fit->frame.width(), run.fit->frame.height(), 24}
                : survey.first;
    if (const QString why = compressorRefusal(run, frame); !why.isEmpty()) {
        say(err, QStringLiteral("%1; the %2 are %3 x %4")
                     .arg(why, run.fit ? QStringLiteral("frames") : QStringLiteral("pictures"))
                     .arg(frame.Width)
                     .arg(frame.Height));
        return ExitCompressorRefused;
    }
    return writeVideo(run, pictures, err);
}

} // namespace make
