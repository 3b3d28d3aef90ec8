#include "make/format_survey.h"

#include "picture/bitmap_headers.h"
#include "picture/jpeg_decoder.h"
#include "picture/picture_error.h"
#include "picture/picture_loader.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace make {

namespace {

// A Bitmap with a colour table or run-length data: its header alone cannot tell whether the
// table or the runs are possible, so it is decoded once. Such files are small and rare.
bool headerTellsTooLittle(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qsizetype headers = picture::bitmapFileHeaderSize + picture::bitmapInfoHeaderSize;
    const QByteArray head = file.read(headers);
    if (head.size() < headers || !head.startsWith("BM"))
        return false;
    const picture::BitmapInfoHeader info = picture::decodeInfoHeader(
        reinterpret_cast<const std::uint8_t*>(head.constData()) + picture::bitmapFileHeaderSize);
    constexpr std::int32_t rle8 = 1, rle4 = 2;
    return info.biBitCount <= 8 || info.biCompression == rle8 || info.biCompression == rle4;
}

// What a picture holds at its peak on its way into the video: Qt's readers decode into 32-bit
// pixels that then become the Bitmap in place; libjpeg decodes straight into the Bitmap, but
// keeps a progressive file's coefficients beside it. The writer, when it looks for repeated
// frames, keeps the frame before. A few decoder buffers come on top.
qint64 bytesToConvert(const QString& path, QSize size, bool writerKeepsFrame) {
    const qint64 pixels = qint64(size.width()) * size.height();
    qint64 bytes = pixels * 4;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        // Enough for any header; one that lies further in is not worth the reading.
        const QByteArray head = file.read(4 * 1024 * 1024);
        if (head.startsWith("\xFF\xD8\xFF"))
            bytes = std::max(bytes, pixels * 3 + picture::MultiScanCoefficientBytes(head));
    }
    return bytes + (writerKeepsFrame ? pixels * 3 : 0) + 64 * 1024 * 1024;
}

// Refused when that cannot fit in what this run may map.
void checkMemoryFor(const QString& path, QSize size, bool writerKeepsFrame) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return;
    long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const qint64 inUse = qint64(pages) * ::sysconf(_SC_PAGESIZE);
    const qint64 needed = bytesToConvert(path, size, writerKeepsFrame);
    const qint64 free = qint64(limit.rlim_cur) - inUse;
    if (needed > free)
        throw picture::PictureError(
            picture::PictureError::Kind::ReadFailed,
            QStringLiteral("%1: %2 x %3 pixels need about %4 MB to convert, more than the %5 MB "
                           "this run may still use")
                .arg(path)
                .arg(size.width())
                .arg(size.height())
                .arg(needed / (1024 * 1024))
                .arg(std::max<qint64>(free, 0) / (1024 * 1024)));
}

} // namespace

picture::PictureFormat convertedFormat(const QString& path, bool writerKeepsFrame) {
    const QSize size = picture::LoadedPictureSize(path, picture::Readable::WithPhotoFormats);
    checkMemoryFor(path, size, writerKeepsFrame);
    if (headerTellsTooLittle(path))
        picture::LoadPicture(path);
    // The saving step writes every picture with 24 bits, whatever it was decoded as.
    return {size.width(), size.height(), 24};
}

Survey surveyPictureFormats(const QStringList& pictures, const std::function<bool()>& interrupted,
                            const SurveyRules& rules) {
    Survey survey;
    bool haveFirst = false;
    for (const QString& path : pictures) {
        if (interrupted()) {
            survey.completed = false;
            return survey;
        }
        picture::PictureFormat format;
        try {
            format = convertedFormat(path, rules.writerKeepsFrame);
        } catch (const picture::PictureError& e) {
            survey.unreadable.append(e.message());
            continue;
        }
        if (!haveFirst) {
            survey.first = format;
            haveFirst = true;
        } else if (!rules.anySize && format != survey.first) {
            survey.differing.append({path, format});
        }
    }
    return survey;
}

} // namespace make
