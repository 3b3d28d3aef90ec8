#pragma once

#include "picture/file_stamp.h"
#include "picture/picture_loader.h"
#include "picture/work_ahead.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <deque>

namespace picture {

// The last few pictures LoadReducedPicture gave, each standing while its file's stamp is
// the same, and the ones expected next decoded ahead on a worker thread. The filmstrip shows
// three neighbours at a time: moving the selection by one, as the Make command does for
// every picture, then waits for no decoding at all.
class ReducedPictureCache {
public:
    ReducedPictureCache(std::size_t capacity, QSize atLeast);
    // LoadReducedPicture(path, atLeast), throwing as it does.
    ReducedPicture load(const QString& path);
    // The pictures likely to be loaded next.
    void expect(const QStringList& upcoming) { ahead_.expect(upcoming); }
    // Keeps the reduced picture of `path` made from `whole`, the picture LoadPicture gave
    // for it just now, instead of reading the file again: scaled smoothly to the size
    // LoadReducedPicture gives, it differs from that one by rounding only.
    void offer(const QString& path, const QImage& whole);

private:
    void keep(const QString& path, const FileStamp& stamp, const ReducedPicture& picture);

    struct Kept {
        QString path;
        FileStamp stamp;
        ReducedPicture picture;
    };
    std::size_t capacity_;
    QSize atLeast_;
    std::deque<Kept> kept_; // the most recently used first
    WorkAhead ahead_;
};

} // namespace picture
