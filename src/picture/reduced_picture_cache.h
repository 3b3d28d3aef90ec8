#pragma once

#include "picture/file_stamp.h"
#include "picture/picture_loader.h"
#include "picture/work_ahead.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <deque>

namespace picture {

// Pictures for views of one small size, such as the filmstrip's, each held at no more than
// that size, whatever its format, while its file's stamp is the same; the ones expected next
// are made ahead on a worker thread. The most recently used are kept up to `budgetBytes` of
// pixels in all (a 125 x 91 view takes 45 KB a picture), so a camera's pictures cost no more
// to hold than small ones, and moving the selection by one, as the Make command does for
// every picture, waits for no decoding at all.
class ReducedPictureCache {
public:
    ReducedPictureCache(std::size_t budgetBytes, QSize viewSize);
    // LoadReducedPicture(path, viewSize) brought down to viewSize, throwing as it does. The
    // natural size is the picture's own.
    ReducedPicture load(const QString& path);
    // The pictures likely to be loaded next.
    void expect(const QStringList& upcoming) { ahead_.expect(upcoming); }
    // Keeps the picture of `path` made from `whole`, the picture LoadPicture gave for it just
    // now, instead of reading the file again.
    void offer(const QString& path, const QImage& whole);

private:
    void keep(const QString& path, const FileStamp& stamp, const ReducedPicture& picture);

    struct Kept {
        QString path;
        FileStamp stamp;
        ReducedPicture picture;
    };
    std::size_t budget_;
    QSize viewSize_;
    std::deque<Kept> kept_; // the most recently used first
    WorkAhead ahead_;
};

} // namespace picture
