#include "job/make_avi_job.h"

#include "avi/mavidecs.h"
#include "job/abort_question.h"
#include "job/job_host.h"
#include "job/picture_failure.h"
#include "job/staged_output.h"
#include "job/timing_rules.h"
#include "picture/dib.h"
#include "picture/picture_error.h"
#include "platform/message_box.h"

#include <memory>
#include <utility>

namespace job {

namespace {

using namespace mAVIDecs;

// One run of the job: its handles, its records and the last AVIFile result, released and
// reported in one place.
class AviJob {
public:
    AviJob(JobHost& host, const QString& target)
        : host_(host), target_(target), staged_(target), path_(staged_.path()) {}

    JobEnd run() {
        bool ranToItsEnd = false;
        // Nothing a picture or the memory does may leave the job without its clean-up.
        try {
            ranToItsEnd = openStream() && writeFrames();
        } catch (const std::exception& e) {
            reportPictureFailure(picture_, e);
        }
        const bool complete = release();
        // The target takes the new file when the job ran to its end or was aborted, and when a
        // failure stopped it after frames were written: it then holds what was written. A
        // cancel, a failure before the first frame or a file that could not be completed
        // leaves it as it was.
        if (complete && (frame_ > 0 || (ranToItsEnd && last_ == AVIERR_OK)) &&
            !staged_.putInPlace())
            keepFailure(AVIERR_FILEWRITE);
        // Only a file in place is reported complete and offered to play.
        const JobEnd end = ranToItsEnd && last_ == AVIERR_OK ? finish() : JobEnd::Stopped;
        endJob();
        return end;
    }

private:
    bool ok(HRESULT result) {
        last_ = result;
        return result == AVIERR_OK;
    }

    bool openStream() {
        if (!ok(AVIFileOpen(&file_, path_.constData(), OF_WRITE | OF_CREATE, nullptr)))
            return false;
        dib_ = std::make_unique<picture::cDIB>();
        if (!loadFirstPicture()) {
            platform::MsgBox(QStringLiteral("Could not load first picture file in list!"),
                             platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                             platform::applicationTitle());
            return false;
        }
        info_.fccType = mmioStringToFOURCCA("vids", 0);
        info_.fccHandler = 0;
        const StreamRate timing = host_.streamRate();
        info_.dwScale = timing.scale;
        info_.dwRate = timing.rate;
        info_.dwSuggestedBufferSize = static_cast<std::uint32_t>(dib_->SizeImage());
        SetRect(&info_.rcFrame, 0, 0, dib_->Width(), dib_->Height());
        if (!ok(AVIFileCreateStreamA(file_, &plain_, &info_)))
            return false;

        AVI_COMPRESS_OPTIONS* optionsList[1] = {&options_};
        const std::int32_t chosen =
            AVISaveOptions(host_.dialogOwner(), ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, 1,
                           &plain_, optionsList);
        if (chosen != 1) {
            AVISaveOptionsFree(1, optionsList);
            last_ = chosen; // a plain cancel (0) is not an error
            return false;
        }
        // The stream is made again, now naming the chosen compressor.
        AVIStreamRelease(plain_);
        plain_ = 0;
        AVIFileRelease(file_);
        file_ = 0;
        staged_.startAfresh();
        info_.fccHandler = options_.fccHandler;
        return ok(AVIFileOpen(&file_, path_.constData(), OF_WRITE | OF_CREATE, nullptr)) &&
               ok(AVIFileCreateStreamA(file_, &plain_, &info_)) &&
               ok(AVIMakeCompressedStream(&compressed_, plain_, &options_, nullptr)) &&
               ok(AVIStreamSetFormat(compressed_, 0, dib_->PointerToBitmapInfo(),
                                     dib_->SizeBitmapInfo()));
    }

    bool loadFirstPicture() {
        host_.selectEntry(0);
        picture_ = host_.entry(0);
        try {
            return host_.loadPictureAsDib(picture_, *dib_);
        } catch (const std::exception& e) {
            reportPictureFailure(picture_, e);
            return false;
        }
    }

    // False when the job must end early; the user has been told why.
    bool writeFrames() {
        host_.refreshFilmstrip();
        host_.setMousePointer(platform::MousePointer::Hourglass);
        const int entries = host_.entryCount();
        std::int32_t framesPerPicture = 0;
        for (int i = 0; i < entries; ++i) {
            host_.selectEntry(i);
            convert(host_.entry(i));
            // A value that does not fit keeps the previous picture's count.
            framesPerPicture = wholeFramesOf(host_.durationText()).value_or(framesPerPicture);
            for (std::int32_t f = 0; f < framesPerPicture; ++f) {
                host_.doEvents();
                const bool abort = askWhetherToAbort(host_);
                // The frame in hand is written even when the user has just chosen to abort.
                if (!ok(AVIStreamWrite(compressed_, frame_, 1, dib_->PointerToBits(),
                                       dib_->SizeImage(), AVIIF_KEYFRAME, nullptr, nullptr)))
                    return false;
                ++frame_;
                host_.showStatus(
                    QStringLiteral("Frame %1  Picture %2 saved").arg(frame_).arg(i + 1));
                host_.frameWritten(frame_, i);
                if (abort)
                    return true;
            }
            host_.setMousePointer(platform::MousePointer::Default);
        }
        return true;
    }

    // A picture that no longer loads keeps its place in the video with the picture before
    // it; a failure of the road itself (the temporary Bitmap, memory) ends the job.
    void convert(const QString& path) {
        picture_ = path;
        try {
            host_.loadPictureAsDib(path, *dib_);
        } catch (const picture::PictureError& e) {
            if (e.kind() != picture::PictureError::Kind::NotLoadable)
                throw;
        }
    }

    JobEnd finish() {
        const bool aborted = host_.abortRequested();
        host_.showStatus(aborted ? QStringLiteral("Aborted")
                                 : QStringLiteral(" AVI File - Completed"));
        host_.offerToPlay(target_);
        return aborted ? JobEnd::Aborted : JobEnd::Completed;
    }

    // False when the file could not be completed (index, header): a full disk, for one.
    bool release() {
        host_.setMousePointer(platform::MousePointer::Default);
        dib_.reset();
        bool complete = true;
        const auto released = [&](HRESULT result) {
            complete = complete && result == AVIERR_OK;
            keepFailure(result); // a write error like any other
        };
        for (PAVISTREAM* stream : {&plain_, &compressed_})
            if (*stream)
                released(AVIStreamRelease(std::exchange(*stream, 0)));
        if (file_)
            released(AVIFileRelease(std::exchange(file_, 0)));
        AVIFileExit();
        return complete;
    }

    void endJob() {
        if (last_ != AVIERR_OK)
            platform::MsgBox(QStringLiteral("There was an error writing the file."),
                             platform::MsgButtons::OK, platform::MsgIcon::Information,
                             platform::applicationTitle());
    }

    void keepFailure(HRESULT result) {
        if (last_ == AVIERR_OK)
            last_ = result;
    }

    JobHost& host_;
    const QString target_;
    StagedOutput staged_;
    const QByteArray path_; // the new file the job writes
    QString picture_;       // the listed picture in hand
    std::unique_ptr<picture::cDIB> dib_;
    AVI_STREAM_INFO info_{};
    AVI_COMPRESS_OPTIONS options_{};
    PAVIFILE file_ = 0;
    PAVISTREAM plain_ = 0;
    PAVISTREAM compressed_ = 0;
    HRESULT last_ = AVIERR_OK;
    std::int32_t frame_ = 0;
};

} // namespace

JobEnd writeAviFile(JobHost& host, const QString& aviPath) {
    return AviJob(host, aviPath).run();
}

} // namespace job
