#pragma once

#include "avi/mavidecs.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <sys/resource.h>
#include <vector>

using namespace mAVIDecs;

// A DIB made by the tests and what ffmpeg must decode it to: top-down rows without padding,
// B, G, R per pixel as bgr24 (and X as bgra for 32-bit DIBs).
struct TestDib {
    std::vector<std::uint8_t> info, bits;
    QByteArray expected;
};

// Soft gradients and a square moving with the seed: fair to lossy codecs, pictures differ. A
// paletted one uses `colours` smoothly changing entries (0: all) and says so in biClrUsed.
inline TestDib makeDib(int width, int height, int bitCount, int seed, int colours) {
    TestDib d;
    const auto put = [](std::vector<std::uint8_t>& v, std::uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v.push_back(std::uint8_t(x >> (8 * i)));
    };
    const int stride = (width * bitCount + 31) / 32 * 4, outBytes = bitCount == 32 ? 4 : 3;
    colours = bitCount > 8 ? 0 : colours ? colours : 1 << bitCount;
    for (const int v :
         {40, width, height, 1 | bitCount << 16, 0, stride * height, 0, 0, colours, 0})
        put(d.info, std::uint32_t(v));
    for (int i = 0; i < colours; ++i) {
        const int t = i * 255 / std::max(1, colours - 1);
        put(d.info, std::uint32_t((t * 3 / 4 + 40) % 256 | (255 - t / 2) << 8 | t << 16));
    }
    d.bits.assign(std::size_t(stride) * height, 0);
    d.expected.resize(width * height * outBytes);
    const int sx = (seed * 7) % (width - width / 4), sy = (seed * 5) % (height - height / 4);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = d.bits.data() + std::size_t(height - 1 - y) * stride;
        auto* out = reinterpret_cast<std::uint8_t*>(d.expected.data()) + y * width * outBytes;
        for (int x = 0; x < width; ++x) {
            const bool square = x >= sx && x < sx + width / 4 && y >= sy && y < sy + height / 4;
            int rgb[3] = {40 + 150 * x / std::max(1, width - 1) + (square ? 60 : 0),
                          60 + 160 * y / std::max(1, height - 1) - (square ? 50 : 0),
                          90 + 60 * (x + y) / (width + height) + seed * 8 % 40};
            std::uint8_t* p = row + x * bitCount / 8;
            if (colours) {
                const int idx = (rgb[0] + rgb[1] + rgb[2]) * colours / 766;   // 1 bit: both
                *p |= std::uint8_t(idx << (8 - bitCount - x * bitCount % 8)); // leftmost: high bits
                for (int c = 0; c < 3; ++c)
                    rgb[c] = d.info[std::size_t(40 + 4 * idx + 2 - c)];
            } else {
                const std::uint32_t v = bitCount == 16
                                            ? (rgb[0] >> 3) << 10 | (rgb[1] >> 3) << 5 | rgb[2] >> 3
                                            : 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
                for (int i = 0; i < bitCount / 8; ++i)
                    p[i] = std::uint8_t(v >> 8 * i);
                for (int& c : rgb) // 5 bits widened as decoders do
                    c = bitCount == 16 ? (c >> 3) << 3 | c >> 5 : c;
                if (bitCount == 32)
                    out[4 * x + 3] = 0xFF;
            }
            for (int c = 0; c < 3; ++c)
                out[outBytes * x + c] = std::uint8_t(rgb[2 - c]);
        }
    }
    return d;
}

// Frame i shows pictures[order[i]]; picture n is made with seed n.
struct Clip {
    int width, height, bitCount;
    std::vector<int> order;
    std::vector<TestDib> pictures;
    const TestDib& operator[](std::size_t i) const { return pictures[std::size_t(order[i])]; }
    QList<QByteArray> expected() const {
        QList<QByteArray> all;
        for (const int picture : order)
            all.append(pictures[std::size_t(picture)].expected);
        return all;
    }
};

inline Clip makeClip(int width, int height, int bitCount, std::vector<int> order, int colours = 0) {
    Clip clip{width, height, bitCount, std::move(order), {}};
    for (int i = 0; i <= *std::max_element(clip.order.begin(), clip.order.end()); ++i)
        clip.pictures.push_back(makeDib(width, height, bitCount, i, colours));
    return clip;
}

// A FOURCC shorter than 4 is filled up with spaces.
inline AVI_COMPRESS_OPTIONS optionsFor(const QString& fourcc, std::uint32_t flags = 0,
                                       std::uint32_t quality = 0, std::uint32_t keyFrameEvery = 0,
                                       std::uint32_t bytesPerSecond = 0) {
    return {.fccHandler = mmioStringToFOURCCA(qPrintable(fourcc.leftJustified(4)), 0),
            .dwKeyFrameEvery = keyFrameEvery,
            .dwQuality = quality,
            .dwBytesPerSecond = bytesPerSecond,
            .dwFlags = flags};
}

// Opens the file and creates its plain video stream, as the Make-AVI job does.
inline HRESULT openStream(const QString& path, int width, int height, PAVIFILE* file,
                          PAVISTREAM* stream, std::uint32_t rate = 10,
                          std::uint32_t bufferSize = 0) {
    if (const HRESULT hr = AVIFileOpen(file, path.toLocal8Bit().constData(), 4097, nullptr))
        return hr;
    AVI_STREAM_INFO info;
    info.fccType = mmioStringToFOURCCA("vids", 0);
    info.dwScale = 1;
    info.dwRate = rate;
    info.dwSuggestedBufferSize = bufferSize;
    SetRect(&info.rcFrame, 0, 0, width, height);
    return AVIFileCreateStreamA(*file, stream, &info);
}

// Writes the clip as the job does (streams, format, frames 0, 1, ..., release): the first
// failure or 0. A file-size limit plays a full disk (AVIFileInit ignores SIGXFSZ).
inline HRESULT writeAvi(const QString& path, const Clip& clip, const AVI_COMPRESS_OPTIONS& options,
                        std::uint32_t rate = 10, int* framesWritten = nullptr,
                        long long fileSizeLimit = -1) {
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit limit{fileSizeLimit < 0 ? before.rlim_cur : rlim_t(fileSizeLimit),
                       before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit); // if it cannot, the full-disk test fails
    const TestDib& first = clip[0];
    PAVIFILE file = 0;
    PAVISTREAM plain = 0, compressed = 0;
    HRESULT hr = openStream(path, clip.width, clip.height, &file, &plain, rate,
                            std::uint32_t(first.bits.size()));
    if (hr == 0)
        hr = AVIMakeCompressedStream(&compressed, plain, &options, nullptr);
    if (hr == 0)
        hr = AVIStreamSetFormat(compressed, 0, first.info.data(), int(first.info.size()));
    int written = 0;
    for (; hr == 0 && std::size_t(written) < clip.order.size(); written += hr == 0) {
        const TestDib& f = clip[std::size_t(written)];
        hr = AVIStreamWrite(compressed, written, 1, f.bits.data(), int(f.bits.size()),
                            AVIIF_KEYFRAME, nullptr, nullptr);
    }
    for (const HRESULT r :
         {plain ? AVIStreamRelease(plain) : 0, compressed ? AVIStreamRelease(compressed) : 0,
          file ? AVIFileRelease(file) : 0})
        hr = hr ? hr : r;
    setrlimit(RLIMIT_FSIZE, &before);
    if (framesWritten)
        *framesWritten = written;
    return hr;
}

// Runs a program, returns its standard output; fails the test when it does not exit 0.
inline QByteArray run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        QTest::qFail(qPrintable(program + " " + args.join(' ') +
                                " failed: " + QString::fromLocal8Bit(p.readAllStandardError())),
                     __FILE__, __LINE__);
    return p.readAllStandardOutput();
}

// ffprobe's values of the space-separated stream fields, space-separated, in ffprobe's order
// (codec_name codec_tag_string width height r_frame_rate duration nb_frames nb_read_frames).
inline QString probe(const QString& path, const QString& fields) {
    const QString entries = "stream=" + QString(fields).replace(' ', ',');
    return QString(run("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-of",
                                   "default=nw=1:nk=1", "-show_entries", entries, path}))
        .simplified();
}

// ffmpeg's frames laid out as the clip's; passthrough: as stored, gaps not filled.
inline QList<QByteArray> decode(const QString& path, const Clip& clip, bool passthrough = false) {
    const QByteArray all =
        run("ffmpeg", {"-v", "error", "-i", path, "-fps_mode", passthrough ? "passthrough" : "cfr",
                       "-f", "rawvideo", "-pix_fmt", clip.bitCount == 32 ? "bgra" : "bgr24", "-"});
    QList<QByteArray> frames;
    for (qsizetype at = 0; at < all.size(); at += clip.pictures[0].expected.size())
        frames.append(all.mid(at, clip.pictures[0].expected.size())); // a part fails comparisons
    return frames;
}

// Every frame GStreamer decodes, as B, G, R bytes, one picture after another.
inline QByteArray gstreamerFrames(const QString& path) {
    run("gst-launch-1.0",
        {"-q", "filesrc", "location=" + path, "!", "avidemux", "!", "videoconvert", "!",
         "video/x-raw,format=BGR", "!", "filesink", "location=" + path + ".raw"});
    QFile f(path + ".raw");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The lowest PSNR of frame against frame; 99 when all are identical, 0 when the counts differ.
inline double leastPsnr(const QList<QByteArray>& a, const QList<QByteArray>& b) {
    double least = a.size() == b.size() ? 99 : 0;
    for (qsizetype f = 0; f < a.size() && least > 0; ++f) {
        if (a[f].size() != b[f].size() || a[f].isEmpty())
            return 0;
        double sum = 0;
        for (qsizetype i = 0; i < a[f].size(); ++i)
            sum += std::pow(double(std::uint8_t(a[f][i])) - double(std::uint8_t(b[f][i])), 2);
        if (sum > 0)
            least = std::min(least, 10 * std::log10(255.0 * 255.0 * double(a[f].size()) / sum));
    }
    return least;
}

struct Packet {
    int pts = 0, size = 0;
    bool key = false;
    QByteArray hash;
};
inline QList<Packet> readPackets(const QString& path) {
    QList<Packet> packets;
    const QByteArray out = run(
        "ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_data_hash", "MD5",
                    "-show_entries", "packet=pts,size,flags,data_hash", "-of", "csv=p=0", path});
    for (const QByteArray& line : out.split('\n'))
        if (const QList<QByteArray> f = line.trimmed().split(','); f.size() >= 4)
            packets.append({f[0].toInt(), f[1].toInt(), f[2].startsWith('K'), f[3]});
    return packets;
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
