#include "picture/reduced_picture_cache.h"

#include "picture/checked_reader.h"
#include "picture/picture_error.h"

#include <algorithm>

namespace picture {

namespace {

// The decoding may hold the whole picture for a moment; a JPEG is decoded at the smallest of
// libjpeg's scales that still covers the view.
std::size_t pictureBytes(const QString& path, QSize view) {
    try {
        const QSize size = LoadedPictureSize(path);
        double share = 1;
        if (CheckedReader(path).format() == "jpeg") {
            const double factor = std::max(double(view.width()) / size.width(),
                                           double(view.height()) / size.height());
            for (const double scale : {0.125, 0.25, 0.5})
                if (scale >= factor) {
                    share = scale * scale;
                    break;
                }
        }
        return std::max(std::size_t(1),
                        std::size_t(double(size.width()) * size.height() * 4 * share));
    } catch (...) {
        return 0;
    }
}

// The views stretch their pictures to fill them, so each side is brought down on its own:
// drawn, the result looks as the whole picture stretched would, and it never holds more
// pixels than the view shows.
QImage broughtDown(const QImage& image, QSize view) {
    const QSize within = image.size().boundedTo(view);
    if (within == image.size())
        return image;
    return image.scaled(within, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// One that does not load is empty.
ReducedPicture viewPicture(const QString& path, QSize view) {
    try {
        ReducedPicture loaded = LoadReducedPicture(path, view);
        loaded.image = broughtDown(loaded.image, view);
        return loaded;
    } catch (const PictureError&) {
        return {};
    }
}

std::size_t bytesOf(const ReducedPicture& picture) {
    return std::size_t(picture.image.sizeInBytes());
}

} // namespace

ReducedPictureCache::ReducedPictureCache(std::size_t budgetBytes, QSize viewSize)
    : budget_(budgetBytes), viewSize_(viewSize),
      ahead_({[viewSize](const QString& path) { return pictureBytes(path, viewSize); },
              [viewSize](const QString& path) { return viewPicture(path, viewSize); }}) {}

std::optional<ReducedPicture> ReducedPictureCache::kept(const QString& path,
                                                        const std::optional<FileStamp>& stamp) {
    const auto same =
        std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) { return k.path == path; });
    if (same == kept_.end())
        return std::nullopt;
    Kept found = std::move(*same);
    kept_.erase(same);
    if (stamp != found.stamp)
        return std::nullopt;
    kept_.push_front(std::move(found));
    return kept_.front().picture;
}

std::optional<ReducedPicture> ReducedPictureCache::find(const QString& path) {
    const std::optional<FileStamp> stamp = StampOf(path);
    if (auto found = kept(path, stamp))
        return found;
    std::optional<ReducedPicture> ready = ahead_.ready(path);
    if (ready && stamp)
        keep(path, *stamp, *ready);
    return ready;
}

ReducedPicture ReducedPictureCache::load(const QString& path) {
    const std::optional<FileStamp> stamp = StampOf(path);
    if (auto found = kept(path, stamp))
        return *found;
    const std::optional<ReducedPicture> ready = ahead_.take(path);
    ReducedPicture picture = ready ? *ready : viewPicture(path, viewSize_);
    // Only a file that stood still while it was read is worth keeping.
    if (stamp && StampOf(path) == stamp)
        keep(path, *stamp, picture);
    return picture;
}

void ReducedPictureCache::offer(const QString& path, const QImage& whole) {
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp || whole.isNull() || std::any_of(kept_.begin(), kept_.end(), [&](const Kept& k) {
            return k.path == path && k.stamp == *stamp;
        }))
        return;
    keep(path, *stamp, {broughtDown(whole, viewSize_), whole.size()});
}

void ReducedPictureCache::keep(const QString& path, const FileStamp& stamp,
                               const ReducedPicture& picture) {
    std::erase_if(kept_, [&](const Kept& k) { return k.path == path; });
    kept_.push_front({path, stamp, picture});
    std::size_t held = 0;
    for (auto k = kept_.begin(); k != kept_.end(); ++k) {
        held += bytesOf(k->picture);
        // The picture just kept stays, whatever it takes.
        if (held > budget_ && k != kept_.begin()) {
            kept_.erase(k, kept_.end());
            break;
        }
    }
}

} // namespace picture
