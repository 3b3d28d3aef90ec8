#pragma once

#include "job/job_host.h"
#include "make/make_options.h"
#include "picture/conversion_ahead.h"
#include "picture/file_stamp.h"
#include "picture/picture_format.h"

#include <QStringList>
#include <optional>

namespace make {

class ProgressMeter;

// The Make-AVI job as picreel-make runs it: the list of the command line, the rate and
// frames per picture of its options, pictures decoded ahead on worker threads, progress on
// a meter and an interrupt as the abort request.
class CommandLineHost final : public job::JobHost {
public:
    // Two pictures are converted ahead for each of the pool's `decoders` workers: one under
    // way and one to start on next.
    CommandLineHost(QStringList pictures, const MakeOptions& options, int decoders,
                    ProgressMeter& meter);

    int entryCount() const override { return int(pictures_.size()); }
    QString entry(int i) const override { return pictures_.value(i); }
    void selectEntry(int i) override { current_ = i; }
    bool loadPictureAsDib(const QString& path, picture::cDIB& dib) override;
    QString framesPerSecondText() const override;
    QString durationText() const override;
    job::StreamRate streamRate() const override;
    bool abortRequested() const override;
    void setAbortRequested(bool requested) override { requested_ = requested; }
    void showStatus(const QString&) override {}
    void frameWritten(std::int32_t frame, int entry) override;

    // The picture that stopped the job, as "path: reason", when one did, and whether it had
    // changed size or depth since the check.
    const std::optional<QString>& pictureFailure() const { return pictureFailure_; }
    bool pictureChanged() const { return pictureChanged_; }

private:
    // The frame a picture makes: as the window makes it, or fitted to the frame size.
    picture::BitmapBytes convert(const QString& path) const;
    std::size_t frameBytes(const QString& path) const;

    const QStringList pictures_;
    const MakeOptions& options_;
    const int picturesAhead_;
    picture::ConversionAhead ahead_;
    ProgressMeter& meter_;
    int current_ = 0;
    bool requested_ = false;
    std::optional<QString> pictureFailure_;
    std::optional<picture::PictureFormat> first_; // as the first picture converted
    // The picture the DIB was last given, as its file stood before it was read.
    const picture::cDIB* heldBy_ = nullptr;
    QString held_;
    std::optional<picture::FileStamp> heldStamp_;
    bool pictureChanged_ = false;
    [[noreturn]] void changed(const QString& path, const picture::PictureFormat& now);
};

} // namespace make
