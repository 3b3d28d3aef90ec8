#include "avi_test_support.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTest>
#include <array>
#include <cmath>
#include <cstring>
#include <sys/resource.h>

using namespace mAVIDecs;

namespace {

void put(std::vector<std::uint8_t>& v, std::uint32_t x, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        v.push_back(std::uint8_t(x >> (8 * i)));
}

// The test picture as 8-bit R, G, B at (x, y).
void colourAt(int x, int y, int w, int h, int seed, int rgb[3]) {
    const int sx = (seed * 7) % std::max(1, w - w / 4), sy = (seed * 5) % std::max(1, h - h / 4);
    const bool square = x >= sx && x < sx + w / 4 && y >= sy && y < sy + h / 4;
    rgb[0] = 40 + 180 * x / std::max(1, w - 1);
    rgb[1] = 30 + 190 * y / std::max(1, h - 1);
    rgb[2] = 90 + 60 * (x + y) / std::max(1, w + h) + seed * 8 % 40;
    if (square) {
        rgb[0] = std::min(255, rgb[0] + 60);
        rgb[1] = std::max(0, rgb[1] - 50);
    }
}

} // namespace

const char* comparePixelFormat(int bitCount) {
    return bitCount == 32 ? "bgra" : "bgr24";
}

TestDib makeDib(int width, int height, int bitCount, int seed, int colours) {
    TestDib d;
    d.width = width;
    d.height = height;
    d.bitCount = bitCount;
    const int stride = (width * bitCount + 31) / 32 * 4;
    if (bitCount > 8)
        colours = 0;
    else if (colours == 0)
        colours = 1 << bitCount;
    put(d.info, 40);
    put(d.info, std::uint32_t(width));
    put(d.info, std::uint32_t(height));
    put(d.info, 1, 2);
    put(d.info, std::uint32_t(bitCount), 2);
    for (const int v : {0, stride * height, 0, 0, colours, 0})
        put(d.info, std::uint32_t(v));
    // A palette of smoothly changing colours, so neighbouring indices look alike.
    std::vector<std::array<int, 3>> palette;
    for (int i = 0; i < colours; ++i) {
        const int t = i * 255 / std::max(1, colours - 1);
        palette.push_back({t, 255 - t / 2, (t * 3 / 4 + 40) % 256});
        put(d.info,
            std::uint32_t(palette.back()[2] | palette.back()[1] << 8 | palette.back()[0] << 16));
    }
    d.bits.assign(std::size_t(stride) * height, 0);
    const int outBytes = bitCount == 32 ? 4 : 3;
    d.expected.resize(width * height * outBytes);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = d.bits.data() + std::size_t(height - 1 - y) * stride;
        auto* out = reinterpret_cast<std::uint8_t*>(d.expected.data()) + y * width * outBytes;
        for (int x = 0; x < width; ++x) {
            int rgb[3];
            colourAt(x, y, width, height, seed, rgb);
            std::uint8_t* p = row + x * bitCount / 8;
            if (colours) {
                const int idx = (rgb[0] + rgb[1] + rgb[2]) * (colours - 1) / 765;
                const int perByte = 8 / bitCount;
                row[x / perByte] |= std::uint8_t(idx << ((perByte - 1 - x % perByte) * bitCount));
                std::copy(palette[idx].begin(), palette[idx].end(), rgb);
            } else if (bitCount == 16) {
                const int v = (rgb[0] >> 3) << 10 | (rgb[1] >> 3) << 5 | rgb[2] >> 3;
                p[0] = std::uint8_t(v);
                p[1] = std::uint8_t(v >> 8);
                for (int& c : rgb) // 5 bits widened as decoders do
                    c = (c >> 3) << 3 | c >> 5;
            } else {
                p[0] = std::uint8_t(rgb[2]);
                p[1] = std::uint8_t(rgb[1]);
                p[2] = std::uint8_t(rgb[0]);
                if (bitCount == 32)
                    p[3] = out[4 * x + 3] = 0xFF;
            }
            for (int c = 0; c < 3; ++c)
                out[outBytes * x + c] = std::uint8_t(rgb[2 - c]);
        }
    }
    return d;
}

std::vector<TestDib> makeDibs(int count, int width, int height, int bitCount) {
    std::vector<TestDib> pictures;
    for (int i = 0; i < count; ++i)
        pictures.push_back(makeDib(width, height, bitCount, i));
    return pictures;
}

Frames pick(const std::vector<TestDib>& pictures, std::initializer_list<int> order) {
    Frames frames;
    for (int i : order)
        frames.push_back(&pictures[std::size_t(i)]);
    return frames;
}

QByteArray expectedOf(const Frames& frames) {
    QByteArray all;
    for (const TestDib* f : frames)
        all += f->expected;
    return all;
}

AVI_COMPRESS_OPTIONS optionsFor(const char* fourcc, std::uint32_t flags) {
    AVI_COMPRESS_OPTIONS options;
    options.fccHandler = mmioStringToFOURCCA(fourcc, 0);
    options.dwFlags = flags;
    return options;
}

HRESULT openStream(const QString& path, int width, int height, PAVIFILE* file, PAVISTREAM* stream,
                   std::uint32_t rate, std::uint32_t bufferSize) {
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

HRESULT writeAvi(const QString& path, const Frames& frames, const AVI_COMPRESS_OPTIONS& options,
                 std::uint32_t rate, int* framesWritten) {
    const TestDib& first = *frames.front();
    PAVIFILE file = 0;
    PAVISTREAM plain = 0, compressed = 0;
    HRESULT hr = openStream(path, first.width, first.height, &file, &plain, rate,
                            std::uint32_t(first.bits.size()));
    int written = 0;
    if (hr == 0)
        hr = AVIMakeCompressedStream(&compressed, plain, &options, nullptr);
    if (hr == 0)
        hr = AVIStreamSetFormat(compressed, 0, first.info.data(), int(first.info.size()));
    for (const TestDib* f : frames) {
        if (hr != 0)
            break;
        hr = AVIStreamWrite(compressed, written, 1, f->bits.data(), int(f->bits.size()),
                            AVIIF_KEYFRAME, nullptr, nullptr);
        written += hr == 0;
    }
    for (PAVISTREAM s : {plain, compressed})
        if (s) {
            const HRESULT r = AVIStreamRelease(s);
            hr = hr ? hr : r;
        }
    if (file) {
        const HRESULT r = AVIFileRelease(file);
        hr = hr ? hr : r;
    }
    if (framesWritten)
        *framesWritten = written;
    return hr;
}

QByteArray run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        QTest::qFail(qPrintable(program + " " + args.join(' ') +
                                " failed: " + QString::fromLocal8Bit(p.readAllStandardError())),
                     __FILE__, __LINE__);
    return p.readAllStandardOutput();
}

QMap<QString, QString> probe(const QString& path) {
    QMap<QString, QString> fields;
    const QByteArray out = run("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0",
                                           "-show_entries", "stream", "-of", "default=nw=1", path});
    for (const QByteArray& line : out.split('\n'))
        if (const int eq = line.indexOf('='); eq > 0)
            fields.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    return fields;
}

QList<QByteArray> decodeFrames(const QString& path, const char* pixelFormat, int frameBytes,
                               bool passthrough) {
    const QByteArray all =
        run("ffmpeg", {"-v", "error", "-i", path, "-fps_mode", passthrough ? "passthrough" : "cfr",
                       "-f", "rawvideo", "-pix_fmt", pixelFormat, "-"});
    QList<QByteArray> frames;
    for (int at = 0; at + frameBytes <= all.size(); at += frameBytes)
        frames.append(all.mid(at, frameBytes));
    if (all.size() % frameBytes != 0)
        frames.append(QByteArray("partial frame"));
    return frames;
}

double psnr(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size() || a.isEmpty())
        return 0;
    double sum = 0;
    for (int i = 0; i < a.size(); ++i) {
        const double d = double(std::uint8_t(a[i])) - double(std::uint8_t(b[i]));
        sum += d * d;
    }
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * a.size() / sum);
}

QList<Packet> readPackets(const QString& path) {
    QList<Packet> packets;
    const QByteArray out = run(
        "ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_data_hash", "MD5",
                    "-show_entries", "packet=pts,size,flags,data_hash", "-of", "csv=p=0", path});
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> f = line.trimmed().split(',');
        if (f.size() >= 4)
            packets.append(
                {f[0].toInt(), f[1].toInt(), f[2].startsWith('K'), QString::fromLatin1(f[3])});
    }
    return packets;
}

FileSizeLimit::FileSizeLimit(long long bytes) {
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    previous_ = static_cast<long long>(r.rlim_cur);
    r.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &r) != 0)
        QTest::qFail("cannot lower the file-size limit", __FILE__, __LINE__);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = rlim_t(previous_);
    setrlimit(RLIMIT_FSIZE, &r);
}

QList<QPair<QString, quint32>> topLevelChunks(const QString& path) {
    QFile f(path);
    QList<QPair<QString, quint32>> riffs;
    if (!f.open(QIODevice::ReadOnly))
        return riffs;
    const QByteArray all = f.readAll();
    qsizetype at = 0;
    while (at + 12 <= all.size()) {
        quint32 size;
        std::memcpy(&size, all.constData() + at + 4, 4);
        if (all.mid(at, 4) != "RIFF") {
            QTest::qFail("not a RIFF chunk", __FILE__, __LINE__);
            return riffs;
        }
        riffs.append({QString::fromLatin1(all.mid(at + 8, 4)), size});
        at += 8 + size + (size & 1);
    }
    if (at != all.size())
        QTest::qFail("bytes after the last RIFF", __FILE__, __LINE__);
    return riffs;
}

QByteArray gstreamerFrames(const QString& path) {
    const QString out = path + ".gst.raw";
    run("gst-launch-1.0",
        {"-q", "filesrc", "location=" + path, "!", "avidemux", "!", "videoconvert", "!",
         "video/x-raw,format=BGR", "!", "filesink", "location=" + out});
    QFile f(out);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
