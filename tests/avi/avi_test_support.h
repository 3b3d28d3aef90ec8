#pragma once

#include "avi/mavidecs.h"
#include "test_io.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/resource.h>
#include <vector>

// A 24-bit DIB, the only kind the program's pictures become, and what players must show:
// top-down rows of B, G, R (bgr24).
struct TestDib {
    std::vector<std::uint8_t> info, bits;
    QByteArray expected;
};

// Soft gradients and a square moving with the seed: fair to lossy codecs, pictures differ.
inline TestDib makeDib(int width, int height, int seed) {
    TestDib d;
    const int stride = (width * 3 + 3) / 4 * 4;
    const std::int32_t header[10] = {40, width, height, 1 | 24 << 16, 0, stride * height};
    d.info.resize(sizeof header);
    std::memcpy(d.info.data(), header, sizeof header); // little-endian
    d.bits.assign(std::size_t(stride) * height, 0);
    const int sx = (seed * 7) % (width - width / 4), sy = (seed * 5) % (height - height / 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool square = x >= sx && x < sx + width / 4 && y >= sy && y < sy + height / 4;
            const int bgr[3] = {90 + 60 * (x + y) / (width + height) + seed * 8 % 40,
                                60 + 160 * y / std::max(1, height - 1) - (square ? 50 : 0),
                                40 + 150 * x / std::max(1, width - 1) + (square ? 60 : 0)};
            std::uint8_t* p = d.bits.data() + std::size_t(height - 1 - y) * stride + x * 3;
            for (int c = 0; c < 3; ++c) {
                p[c] = std::uint8_t(bgr[c]);
                d.expected.append(char(bgr[c]));
            }
        }
    }
    return d;
}

// Frame i shows pictures[order[i]]; picture n is made with seed n.
struct Clip {
    int width, height;
    std::vector<int> order;
    std::vector<TestDib> pictures;
    QByteArray expected; // all frames, one after another
    const TestDib& operator[](std::size_t i) const { return pictures[std::size_t(order[i])]; }
    qsizetype frameBytes() const { return pictures[0].expected.size(); }
};

inline Clip makeClip(int width, int height, std::vector<int> order) {
    Clip clip{width, height, std::move(order), {}, {}};
    for (int i = 0; i <= *std::max_element(clip.order.begin(), clip.order.end()); ++i)
        clip.pictures.push_back(makeDib(width, height, i));
    for (std::size_t i = 0; i < clip.order.size(); ++i)
        clip.expected += clip[i].expected;
    return clip;
}

// A FOURCC shorter than 4 is filled up with spaces.
inline mAVIDecs::AVI_COMPRESS_OPTIONS optionsFor(const QString& fourcc, std::uint32_t flags = 0,
                                                 std::uint32_t quality = 0,
                                                 std::uint32_t keyFrameEvery = 0,
                                                 std::uint32_t bytesPerSecond = 0) {
    const std::uint32_t handler =
        mAVIDecs::mmioStringToFOURCCA(qPrintable(fourcc.leftJustified(4)), 0);
    return {0, handler, keyFrameEvery, quality, bytesPerSecond, flags};
}

// Opens the file and creates its plain video stream, as the Make-AVI job does.
inline mAVIDecs::HRESULT openStream(const QString& path, int width, int height,
                                    mAVIDecs::PAVIFILE* file, mAVIDecs::PAVISTREAM* stream,
                                    std::uint32_t rate = 10, std::uint32_t bufferSize = 0) {
    if (const mAVIDecs::HRESULT hr =
            mAVIDecs::AVIFileOpen(file, path.toLocal8Bit().constData(),
                                  mAVIDecs::OF_WRITE | mAVIDecs::OF_CREATE, nullptr))
        return hr;
    mAVIDecs::AVI_STREAM_INFO info{.fccType = mAVIDecs::mmioStringToFOURCCA("vids", 0),
                                   .dwScale = 1,
                                   .dwRate = rate,
                                   .dwSuggestedBufferSize = bufferSize,
                                   .rcFrame = {0, 0, width, height}};
    return mAVIDecs::AVIFileCreateStreamA(*file, stream, &info);
}

// Writes the clip as the job does (streams, format, frames 0, 1, ..., release): the first
// failure or 0. A file-size limit plays a full disk (AVIFileInit ignores SIGXFSZ).
inline mAVIDecs::HRESULT writeAvi(const QString& path, const Clip& clip,
                                  const mAVIDecs::AVI_COMPRESS_OPTIONS& options,
                                  std::uint32_t rate = 10, int* framesWritten = nullptr,
                                  long long fileSizeLimit = -1) {
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit limit{fileSizeLimit < 0 ? before.rlim_cur : rlim_t(fileSizeLimit),
                       before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit); // if it cannot, the full-disk test fails
    mAVIDecs::PAVIFILE file = 0;
    mAVIDecs::PAVISTREAM plain = 0, compressed = 0;
    mAVIDecs::HRESULT hr = openStream(path, clip.width, clip.height, &file, &plain, rate,
                                      std::uint32_t(clip[0].bits.size()));
    hr = hr ? hr : mAVIDecs::AVIMakeCompressedStream(&compressed, plain, &options, nullptr);
    hr = hr ? hr
            : mAVIDecs::AVIStreamSetFormat(compressed, 0, clip[0].info.data(),
                                           int(clip[0].info.size()));
    int unused = 0, &written = framesWritten ? *framesWritten : unused;
    for (written = 0; hr == 0 && std::size_t(written) < clip.order.size(); written += hr == 0)
        hr = mAVIDecs::AVIStreamWrite(
            compressed, written, 1, clip[std::size_t(written)].bits.data(),
            int(clip[0].bits.size()), mAVIDecs::AVIIF_KEYFRAME, nullptr, nullptr);
    for (const mAVIDecs::HRESULT r :
         {mAVIDecs::AVIStreamRelease(plain), mAVIDecs::AVIStreamRelease(compressed),
          mAVIDecs::AVIFileRelease(file)})
        hr = hr ? hr : r;
    setrlimit(RLIMIT_FSIZE, &before);
    return hr;
}

// ffprobe's values of the video stream's or every packet's entries, space-separated, in order.
inline QByteArray probe(const QString& path, const QString& entries) {
    return run("ffprobe",
               {"-v", "error", "-count_frames", "-show_data_hash", "MD5", "-select_streams", "v:0",
                "-of", "default=nw=1:nk=1", "-show_entries", entries, path})
        .simplified();
}

// ffmpeg's frames as B, G, R bytes, one after another; passthrough: as stored, gaps not filled.
inline QByteArray decode(const QString& path, bool passthrough = false) {
    return run("ffmpeg",
               {"-v", "error", "-i", path, "-fps_mode", passthrough ? "passthrough" : "cfr", "-f",
                "rawvideo", "-pix_fmt", "bgr24", "-"});
}

// The same from GStreamer, through whichever of its decoders the stream needs. GStreamer
// pads its rows to 4 bytes; the padding is taken out.
inline QByteArray gstreamerFrames(const QString& path, int width) {
    const QByteArray padded = run(
        "gst-launch-1.0", {"-q", "filesrc", "location=" + path, "!", "avidemux", "!", "decodebin",
                           "!", "videoconvert", "!", "video/x-raw,format=BGR", "!", "fdsink"});
    const qsizetype row = qsizetype(width) * 3, stride = (row + 3) / 4 * 4;
    QByteArray frames;
    for (qsizetype at = 0; at + row <= padded.size(); at += stride)
        frames += padded.mid(at, row);
    return frames;
}

// The lowest PSNR of frame against frame (frameBytes); 99: all identical, 0: lengths differ.
inline double leastPsnr(const QByteArray& a, const QByteArray& b, qsizetype frameBytes) {
    double least = a.size() == b.size() && a.size() % frameBytes == 0 && !a.isEmpty() ? 99 : 0;
    for (qsizetype f = 0; f < a.size() && least > 0; f += frameBytes) {
        double sum = 0;
        for (qsizetype i = f; i < f + frameBytes; ++i)
            sum += std::pow(double(std::uint8_t(a[i])) - double(std::uint8_t(b[i])), 2);
        if (sum > 0)
            least = std::min(least, 10 * std::log10(255.0 * 255.0 * double(frameBytes) / sum));
    }
    return least;
}

// The top-level chunks of a file as (ID and form type, size), such as ("RIFFAVI ", 1024).
inline QList<QPair<QByteArray, quint32>> topLevelChunks(const QString& path) {
    QFile f(path);
    const QByteArray all = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    QList<QPair<QByteArray, quint32>> chunks;
    for (qsizetype at = 0; at < all.size(); at += 8 + (qsizetype(chunks.last().second) + 1) / 2 * 2)
        chunks.append({all.mid(at, 4) + all.mid(at + 8, 4),
                       qFromLittleEndian<quint32>(all.mid(at + 4, 4).leftJustified(4, 0).data())});
    return chunks;
}
