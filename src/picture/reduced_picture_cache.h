#pragma once

#include "picture/file_stamp.h"
#include "picture/picture_loader.h"
#include "picture/work_ahead.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

namespace picture {

// Pictures for views of one small size, such as the filmstrip's, each held at no more than
// that size, whatever its format, while its file's stamp is the same; the ones expected are
// made on the process's workers. The most recently used are kept up to `budgetBytes` of
// pixels in all (a 125 x 91 view takes 45 KB a picture), so a camera's pictures cost no more
// to hold than small ones, and moving the selection by one, as the Make command does for
// every picture, waits for no decoding at all. A picture that does not load comes as an
// empty one.
class ReducedPictureCache {
public:
    ReducedPictureCache(std::size_t budgetBytes, QSize viewSize);
    // LoadReducedPicture(path, viewSize) brought down to viewSize, made here unless it is at
    // hand. The natural size is the picture's own.
    ReducedPicture load(const QString& path);
    // The same when it is at hand, kept or made ahead; never waits.
    std::optional<ReducedPicture> find(const QString& path);
    // The pictures likely to be asked for next, the first first.
    void expect(const QStringList& upcoming) { ahead_.expect(upcoming); }
    // Calls `made` on `context`'s thread once path's picture, expected, has been made or has
    // failed to be; false when it is not under way (find or load then tell).
    bool whenMade(const QString& path, QObject* context, std::function<void()> made) {
        // One made before its file changed is made again.
        return ahead_.whenDone(path, context, made) ||
               (ahead_.restartIfStale(path) && ahead_.whenDone(path, context, made));
    }
    // Keeps the picture of `path` made from `whole`, the picture LoadPicture gave for it just
    // now, instead of reading the file again.
    void offer(const QString& path, const QImage& whole);

private:
    void keep(const QString& path, const FileStamp& stamp, const ReducedPicture& picture);
    std::optional<ReducedPicture> kept(const QString& path, const std::optional<FileStamp>& stamp);

    struct Kept {
        QString path;
        FileStamp stamp;
        ReducedPicture picture;
    };
    std::size_t budget_;
    QSize viewSize_;
    std::deque<Kept> kept_; // the most recently used first
    WorkAhead<ReducedPicture> ahead_;
};

} // namespace picture
