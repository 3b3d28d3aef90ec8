#pragma once

#include "picture/bitmap_saver.h"

#include <QStringList>
#include <condition_variable>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace make {

// Decodes the pictures of a list on worker threads, a few ahead of the one the writer asks
// for, each into the Bitmap the saving step would write. The writer asks in list order; a
// picture stays at hand until a later one is asked for, so it can be asked for again.
class PictureAhead {
public:
    // workers threads decode; at most `ahead` pictures past the one in hand are held.
    PictureAhead(QStringList pictures, int workers, int ahead);
    ~PictureAhead();
    PictureAhead(const PictureAhead&) = delete;
    PictureAhead& operator=(const PictureAhead&) = delete;

    // Picture i's Bitmap, waiting for it; throws what decoding it threw.
    std::shared_ptr<const picture::BitmapBytes> take(int i);

private:
    struct Result {
        std::shared_ptr<const picture::BitmapBytes> bitmap;
        std::exception_ptr failure;
    };
    void work();

    const QStringList pictures_;
    const int ahead_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Result> done_;
    int next_ = 0;   // the next picture a worker starts
    int inHand_ = 0; // the picture the writer asked for last
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace make
