#include "make/command_line_host.h"

#include "make/interrupt.h"
#include "make/progress_meter.h"
#include "picture/checked_reader.h"
#include "picture/dib.h"
#include "picture/file_stamp.h"
#include "picture/fitted_picture.h"
#include "picture/picture_error.h"
#include "picture/picture_loader.h"

namespace make {

CommandLineHost::CommandLineHost(QStringList pictures, const MakeOptions& options, int decoders,
                                 ProgressMeter& meter)
    : pictures_(std::move(pictures)), options_(options), picturesAhead_(decoders * 2),
      ahead_([this](const QString& path) { return convert(path); },
             [this](const QString& path) { return frameBytes(path); }),
      meter_(meter) {
    // The first pictures are decoded while the job opens its file.
    ahead_.expect(pictures_.mid(0, picturesAhead_));
}

picture::BitmapBytes CommandLineHost::convert(const QString& path) const {
    if (options_.fit)
        return picture::LoadFittedBitmap(path, *options_.fit);
    const QByteArray format =
        picture::CheckedReader(path, picture::Readable::WithPhotoFormats).format();
    if (format == "bmp" || format == "jpeg" || format == "gif")
        return picture::LoadPictureAsBitmap(path);
    // The newer formats have no classic road; they keep their own size, and what shows
    // through them is the background colour.
    return picture::LoadFittedBitmap(
        path, {.frame = picture::UprightPictureSize(path), .background = options_.background});
}

std::size_t CommandLineHost::frameBytes(const QString& path) const {
    const QSize size = options_.fit ? options_.fit->frame : picture::UprightPictureSize(path);
    return ((std::size_t(size.width()) * 3 + 3) & ~std::size_t(3)) * std::size_t(size.height());
}

bool CommandLineHost::loadPictureAsDib(const QString& path, picture::cDIB& dib) {
    // The job loads its first picture twice, to open the stream and to write the first frame:
    // the DIB still holds it.
    const std::optional<picture::FileStamp> stamp = picture::StampOf(path);
    if (&dib == heldBy_ && path == held_ && stamp && stamp == heldStamp_)
        return true;
    heldBy_ = nullptr;
    // The picture is handed over whole to the DIB, pixels and all, without a copy.
    const std::shared_ptr<picture::Converted> converted = ahead_.takeOver(path);
    // The next few: as many as the workers can have under way, and one more for each to
    // start on when it is done.
    ahead_.expect(pictures_.mid(current_ + 1, picturesAhead_));
    try {
        // A failure ends the run, so the picture before is never needed again: let it go
        // before the next is decoded rather than hold both.
        if (!converted)
            dib.Clear();
        const bool adopted =
            dib.AdoptBitmap(converted ? std::move(converted->bitmap) : convert(path));
        const picture::PictureFormat format{dib.Width(), dib.Height(), dib.BitCount()};
        if (!first_)
            first_ = format;
        else if (format != *first_)
            changed(path, format);
        if (adopted)
            heldBy_ = &dib, held_ = path, heldStamp_ = stamp;
        return adopted;
    } catch (const picture::PictureError& e) {
        // The window lets the picture before take the place of one that no longer loads; a
        // script is better served by a run that stops and says which picture failed.
        pictureFailure_ = e.message();
        throw picture::PictureError(picture::PictureError::Kind::ReadFailed, e.message());
    }
}

void CommandLineHost::changed(const QString& path, const picture::PictureFormat& now) {
    // Rewritten since the check: the frame would not fit the video.
    pictureChanged_ = true;
    throw picture::PictureError(
        picture::PictureError::Kind::ReadFailed,
        QStringLiteral("%1: now %2 x %3, %4 bits, since the check; the video is %5 x %6, %7 bits")
            .arg(path)
            .arg(now.Width)
            .arg(now.Height)
            .arg(now.BitCount)
            .arg(first_->Width)
            .arg(first_->Height)
            .arg(first_->BitCount));
}

QString CommandLineHost::framesPerSecondText() const {
    return QString::number(options_.rate.framesPerSecond(), 'g', 10);
}

QString CommandLineHost::durationText() const {
    // The job holds each picture for this text's whole number of frames.
    return QString::number(options_.framesPerPicture);
}

job::StreamRate CommandLineHost::streamRate() const {
    return options_.rate;
}

bool CommandLineHost::abortRequested() const {
    return requested_ || interrupted();
}

void CommandLineHost::frameWritten(std::int32_t /*frame*/, int entry) {
    meter_.frameWritten(entry);
}

} // namespace make
