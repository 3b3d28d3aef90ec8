#include "picture/reduced_picture_cache.h"

#include <algorithm>
#include <cmath>

namespace picture {

namespace {

// A reduced picture is at most the whole picture.
std::size_t pictureBytes(const QString& path) {
    try {
        const QSize size = LoadedPictureSize(path);
        return std::size_t(size.width()) * std::size_t(size.height()) * 4;
    } catch (...) {
        return 0;
    }
}

} // namespace

ReducedPictureCache::ReducedPictureCache(std::size_t capacity, QSize atLeast)
    : capacity_(capacity), atLeast_(atLeast),
      ahead_({pictureBytes,
              [atLeast](const QString& path) {
                  return std::make_shared<ReducedPicture>(LoadReducedPicture(path, atLeast));
              }},
             1, 256 * 1024 * 1024) {}

ReducedPicture ReducedPictureCache::load(const QString& path) {
    const std::optional<FileStamp> stamp = StampOf(path);
    const auto same =
        std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) { return k.path == path; });
    if (same != kept_.end()) {
        Kept found = std::move(*same);
        kept_.erase(same);
        if (stamp == found.stamp) {
            kept_.push_front(std::move(found));
            return kept_.front().picture;
        }
    }
    const auto ready = std::static_pointer_cast<const ReducedPicture>(ahead_.take(path));
    ReducedPicture picture = ready ? *ready : LoadReducedPicture(path, atLeast_);
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
    const QSize natural = whole.size();
    if (natural.width() <= atLeast_.width() || natural.height() <= atLeast_.height()) {
        keep(path, *stamp, {whole, natural});
        return;
    }
    const double factor = std::max(double(atLeast_.width()) / natural.width(),
                                   double(atLeast_.height()) / natural.height());
    const QSize reduced(int(std::ceil(natural.width() * factor)),
                        int(std::ceil(natural.height() * factor)));
    keep(path, *stamp,
         {whole.scaled(reduced, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), natural});
}

void ReducedPictureCache::keep(const QString& path, const FileStamp& stamp,
                               const ReducedPicture& picture) {
    std::erase_if(kept_, [&](const Kept& k) { return k.path == path; });
    kept_.push_front({path, stamp, picture});
    if (kept_.size() > capacity_)
        kept_.pop_back();
}

} // namespace picture
