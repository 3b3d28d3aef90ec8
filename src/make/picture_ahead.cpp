#include "make/picture_ahead.h"

#include "picture/picture_loader.h"

#include <stdexcept>

namespace make {

PictureAhead::PictureAhead(QStringList pictures, int workers, int ahead)
    : pictures_(std::move(pictures)), ahead_(std::max(1, ahead)) {
    for (int i = 0; i < std::max(1, workers); ++i)
        workers_.emplace_back([this] { work(); });
}

PictureAhead::~PictureAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : workers_)
        t.join();
}

void PictureAhead::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return stopping_ || (next_ < pictures_.size() && next_ <= inHand_ + ahead_);
        });
        if (stopping_)
            return;
        const int i = next_++;
        lock.unlock();
        Result result;
        try {
            const QString& path = pictures_[i];
            result.bitmap =
                std::make_shared<const picture::BitmapBytes>(picture::LoadPictureAsBitmap(path));
        } catch (...) {
            result.failure = std::current_exception();
        }
        lock.lock();
        if (i >= inHand_)
            done_[i] = std::move(result);
        changed_.notify_all();
    }
}

std::shared_ptr<const picture::BitmapBytes> PictureAhead::take(int i) {
    std::unique_lock lock(mutex_);
    // Pictures before the one in hand are gone: asking for one again would wait for ever.
    if (i < 0 || i >= pictures_.size() || (i < inHand_ && done_.count(i) == 0))
        throw std::out_of_range("picture asked for out of order");
    if (i > inHand_) {
        inHand_ = i;
        done_.erase(done_.begin(), done_.lower_bound(i));
        changed_.notify_all();
    }
    changed_.wait(lock, [&] { return done_.count(i) != 0; });
    const Result& result = done_[i];
    if (result.failure)
        std::rethrow_exception(result.failure);
    return result.bitmap;
}

} // namespace make
