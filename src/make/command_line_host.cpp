#include "make/command_line_host.h"

#include "make/interrupt.h"
#include "make/picture_ahead.h"
#include "make/progress_meter.h"
#include "picture/bitmap_headers.h"
#include "picture/dib.h"
#include "picture/picture_error.h"

namespace make {

CommandLineHost::CommandLineHost(QStringList pictures, const MakeOptions& options,
                                 PictureAhead& ahead, ProgressMeter& meter)
    : pictures_(std::move(pictures)), options_(options), ahead_(ahead), meter_(meter) {}

bool CommandLineHost::LoadPictureAsDib(const QString& path, picture::cDIB& dib) {
    if (path != entry(current_))
        throw picture::PictureError(picture::PictureError::Kind::ReadFailed,
                                    path + QStringLiteral(": not the picture in hand"));
    try {
        const auto bitmap = ahead_.take(current_);
        const std::size_t skip = picture::bitmapFileHeaderSize;
        return dib.CreateFromPackedDIBPointer(bitmap->data.get() + skip, bitmap->size - skip);
    } catch (const picture::PictureError& e) {
        // The window lets the picture before take the place of one that no longer loads; a
        // script is better served by a run that stops and says which picture failed.
        pictureFailure_ = e.message();
        throw picture::PictureError(picture::PictureError::Kind::ReadFailed, e.message());
    }
}

QString CommandLineHost::framesPerSecondText() const {
    return QString::number(options_.rate.framesPerSecond(), 'g', 10);
}

QString CommandLineHost::durationText() const {
    // The job holds each picture for this text's whole number of frames.
    return QString::number(options_.framesPerPicture);
}

job::JobHost::RateAndScale CommandLineHost::streamRateAndScale() const {
    return {options_.rate.rate, options_.rate.scale};
}

bool CommandLineHost::abortRequested() const {
    return requested_ || Interrupted();
}

void CommandLineHost::moveFilmImage(int) {
    // The job moves its film picture once for every frame it has written.
    meter_.frameWritten(current_);
}

} // namespace make
