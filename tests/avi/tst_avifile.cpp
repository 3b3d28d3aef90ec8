#include "avi_test_support.h"

#include "avi/jpeg_frame_encoder.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <malloc.h>
#include <numeric>

using namespace mAVIDecs;

namespace {

// Frames 2, 5 and 6 of a clip shown in the order {0, 1, 1, 2, 3, 3, 3} repeat the picture
// before them.
const std::vector<int> withRepeats = {0, 1, 1, 2, 3, 3, 3};
const QList<int> repeatedFrames = {2, 5, 6};

struct CodecRow {
    const char* fourcc;
    const char* codecName; // as ffprobe names it
    const char* tag;       // and the stream's tag
    int bitCount;
    int width;
    double leastPsnr;          // 99: every pixel exact
    QByteArray keyFlags;       // ffprobe's flags of the seven packets
    QList<int> reusedPackets;  // frames whose packet is the one before it again
    int colours = 0;           // of a paletted picture's colour table; 0: all
    bool gstreamerToo = false; // GStreamer shows the same pixels
};

struct JpegRow {
    int width;
    int height;
    int bitCount;
    bool topDown;
    double leastPsnr; // of ffmpeg's and of GStreamer's frames
};

// The same picture with its rows stored top-down, as a negative height says.
void storeTopDown(TestDib& d) {
    std::int32_t height = 0;
    std::memcpy(&height, d.info.data() + 8, 4);
    const std::size_t stride = d.bits.size() / std::size_t(height);
    std::vector<std::uint8_t> rows;
    for (auto row = d.bits.end(); row != d.bits.begin(); row -= std::ptrdiff_t(stride))
        rows.insert(rows.end(), row - std::ptrdiff_t(stride), row);
    d.bits = std::move(rows);
    height = -height;
    std::memcpy(d.info.data() + 8, &height, 4);
}

// A full disk: a file-size limit, or a small file system when the test may mount one.
enum class Disk { FileSizeLimit, SmallTmpfs };

struct FullDiskRow {
    const char* fourcc;
    qint64 bytesThatFit;
    std::uint32_t flags = 0;    // AVICOMPRESSF_*
    std::uint64_t riffSize = 0; // 0: the writer's own
    Disk disk = Disk::FileSizeLimit;
};

// How a write of the 200 frames ends; each value is what the job is told.
enum class Outcome : HRESULT {
    Complete = AVIERR_OK,
    StopsAtIndexSlots = AVIERR_FILEWRITE,
};

struct RiffRow {
    std::uint32_t superIndexSlots;
    Outcome outcome;
    int framesWritten;
    qsizetype riffs;
};

// 200 frames of 32 × 24, each picture shown timesEach times.
Clip twoHundredFrames(int timesEach) {
    std::vector<int> order;
    for (int i = 0; i < 200; ++i)
        order.push_back((i / timesEach) % 60);
    return makeClip(32, 24, 24, order);
}

// The frames a file stores (repeats as null frames are not) and what they show.
struct Stored {
    QByteArray pts;
    QByteArray pixels;
};
Stored storedFrames(const Clip& clip, int written, bool nullRepeats) {
    Stored s;
    for (int i = 0; i < written; ++i) {
        const bool isRepeat = i > 0 && i < written - 1 && clip.order[i] == clip.order[i - 1];
        if (nullRepeats && isRepeat)
            continue;
        s.pts += QByteArray::number(i) + ' ';
        s.pixels += clip[std::size_t(i)].expected;
    }
    s.pts = s.pts.trimmed();
    return s;
}

QList<int> packetSizes(const QString& path) {
    QList<int> sizes;
    for (const QByteArray& size : probe(path, "packet=size").split(' '))
        sizes.append(size.toInt());
    return sizes;
}

QByteArray gstreamerDuration(int frames) {
    return QString("Duration: 0:00:%1").arg(frames / 10.0, 12, 'f', 9, '0').toLatin1();
}

} // namespace

class AviFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { AVIFileInit(); }
    void cleanup() { setWriterLimits({}); }

    // Uncompressed at every depth (width 37: row padding) and every compressor: right codec,
    // FOURCC, size, rate, frame count; exact pixels or above a PSNR bound; key frames every 3;
    // intra-only codecs reuse a repeated picture's packet. Each way into an encoder (colour
    // table, 16, 24 and 32 bits) reaches a lossless codec. A short colour table is filled up
    // in the file, or GStreamer shows black.
    void framesDecode_data() {
        QTest::addColumn<CodecRow>("row");
        const QByteArray allKeys = "KKKKKKK", everyThird = "K__K__K";
        const QList<int> none;
        // FOURCC, ffprobe's codec and tag, depth, width, least PSNR, key flags, reused packets,
        // colours
        for (const int bits : {1, 4, 8, 16, 24, 32})
            QTest::newRow(qPrintable(QString("uncompressed %1-bit 37 wide").arg(bits))) << CodecRow{
                "DIB", "rawvideo", "[0][0][0][0]", bits, 37, 99, allKeys, repeatedFrames};
        QTest::newRow("uncompressed 8-bit, 16 colours") << CodecRow{
            "DIB", "rawvideo", "[0][0][0][0]", 8, 40, 99, allKeys, repeatedFrames, 16, true};
        QTest::newRow("FFV1 16-bit")
            << CodecRow{"FFV1", "ffv1", "FFV1", 16, 32, 99, allKeys, repeatedFrames};
        QTest::newRow("HuffYUV 4-bit")
            << CodecRow{"HFYU", "huffyuv", "HFYU", 4, 32, 99, allKeys, repeatedFrames};
        QTest::newRow("Ut Video 24-bit")
            << CodecRow{"ULRG", "utvideo", "ULRG", 24, 32, 99, allKeys, repeatedFrames};
        QTest::newRow("ZMBV 32-bit")
            << CodecRow{"ZMBV", "zmbv", "ZMBV", 32, 32, 99, everyThird, none};
        QTest::newRow("MJPEG 8-bit")
            << CodecRow{"MJPG", "mjpeg", "MJPG", 8, 32, 29, allKeys, repeatedFrames};
        QTest::newRow("MPEG-4 24-bit")
            << CodecRow{"XVID", "mpeg4", "XVID", 24, 32, 29, everyThird, none};
        QTest::newRow("H.264 8-bit")
            << CodecRow{"H264", "h264", "H264", 8, 32, 29, everyThird, none};
        // Cinepak takes two seconds for a 320x240 frame: tiny pictures.
        QTest::newRow("Cinepak 24-bit")
            << CodecRow{"cvid", "cinepak", "cvid", 24, 32, 25, everyThird, none};
        // Its delta frames skip blocks that barely change.
        QTest::newRow("Microsoft Video 1 8-bit")
            << CodecRow{"MSVC", "msvideo1", "MSVC", 8, 32, 26, everyThird, {2, 5}};
    }
    void framesDecode() {
        QFETCH(CodecRow, row);
        const Clip clip = makeClip(row.width, 24, row.bitCount, withRepeats, row.colours);
        const QString path = dir.filePath("codec.avi");
        const auto options = optionsFor(row.fourcc, AVICOMPRESSF_KEYFRAMES, 7500, 3);
        QCOMPARE(writeAvi(path, clip, options, 12), AVIERR_OK);
        QCOMPARE(
            probe(path, "stream=codec_name,codec_tag_string,width,height,r_frame_rate,"
                        "nb_read_frames"),
            QString("%1 %2 %3 24 12/1 7").arg(row.codecName, row.tag).arg(row.width).toLatin1());
        QCOMPARE_GE(leastPsnr(decode(path), clip.expected, clip.frameBytes()), row.leastPsnr);
        const QByteArrayList packets = probe(path, "packet=flags,data_hash").split(' ');
        QByteArray keys;
        QList<int> reused;
        for (qsizetype i = 0; i < packets.size(); i += 2) {
            keys += packets[i][0];
            if (i > 0 && packets[i + 1] == packets[i - 1])
                reused.append(int(i / 2));
        }
        QCOMPARE(keys, row.keyFlags);
        QCOMPARE(reused, row.reusedPackets);
        if (row.gstreamerToo)
            QCOMPARE(gstreamerFrames(path, clip.width).left(2 * clip.frameBytes()),
                     clip.expected.left(2 * clip.frameBytes()));
    }

    // MJPEG at a fixed quality from 24- and 32-bit frames, in either row order and at odd
    // sizes, shows the pictures upright and in their colours, in ffmpeg and GStreamer alike,
    // and a repeated picture reuses its packet.
    void mjpegFromDirectFramesDecodes_data() {
        QTest::addColumn<JpegRow>("row");
        QTest::newRow("24-bit 321 x 241") << JpegRow{321, 241, 24, false, 30};
        QTest::newRow("32-bit top-down") << JpegRow{66, 50, 32, true, 30};
    }
    void mjpegFromDirectFramesDecodes() {
        QFETCH(JpegRow, row);
        Clip clip = makeClip(row.width, row.height, row.bitCount, withRepeats);
        if (row.topDown)
            for (TestDib& picture : clip.pictures)
                storeTopDown(picture);
        const QString path = dir.filePath("mjpeg.avi");
        QCOMPARE(writeAvi(path, clip, optionsFor("MJPG")), AVIERR_OK);
        QCOMPARE(probe(path, "stream=codec_tag_string,width,height"),
                 QString("MJPG %1 %2").arg(row.width).arg(row.height).toLatin1());
        QCOMPARE_GE(leastPsnr(decode(path), clip.expected, clip.frameBytes()), row.leastPsnr);
        QCOMPARE_GE(leastPsnr(gstreamerFrames(path, row.width), clip.expected, clip.frameBytes()),
                    row.leastPsnr);
        const QByteArrayList hashes = probe(path, "packet=data_hash").split(' ');
        QList<int> reused;
        for (qsizetype i = 1; i < hashes.size(); ++i)
            if (hashes[i] == hashes[i - 1])
                reused.append(int(i));
        QCOMPARE(reused, repeatedFrames);
    }

    // libjpeg's own failures come back as the layer's failure, not as an ended process.
    void libjpegFailureSaysWhy() {
        avi::DibFormat huge;
        huge.width = 70000; // past the largest JPEG
        huge.height = 1;
        huge.bitCount = 24;
        huge.stride = 210000;
        const std::vector<std::uint8_t> bits(huge.stride);
        avi::JpegFrameEncoder encoder;
        QVERIFY(encoder.open(huge, 75).ok());
        std::vector<std::uint8_t> packet;
        const avi::Status s = encoder.encode(bits.data(), packet);
        QCOMPARE(s.fault, avi::Fault::Compressor);
        QCOMPARE(s.what, "libjpeg: compressing a frame: Maximum supported image dimension is "
                         "65500 pixels");
    }

    // Higher quality gives bigger frames; a lower data rate, smaller ones. MPEG-4 takes its
    // quality as MJPEG does, H.264 its own way.
    void qualityAndDataRateAreHonoured_data() {
        QTest::addColumn<QString>("fourcc");
        QTest::newRow("MJPEG") << "MJPG";
        QTest::newRow("H.264") << "H264";
    }
    void qualityAndDataRateAreHonoured() {
        QFETCH(QString, fourcc);
        const Clip clip = makeClip(64, 48, 24, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        const QString path = dir.filePath("quality.avi");
        const auto bytes = [&](std::uint32_t quality, std::uint32_t bytesPerSecond) {
            const auto o = optionsFor(fourcc, AVICOMPRESSF_DATARATE, quality, 0, bytesPerSecond);
            const HRESULT hr = writeAvi(path, clip, o);
            const QList<int> sizes = hr == AVIERR_OK ? packetSizes(path) : QList<int>{-1};
            return std::accumulate(sizes.begin(), sizes.end(), 0);
        };
        const int fine = bytes(9500, 0), coarse = bytes(2000, 0);
        const int tight = bytes(0, 300), loose = bytes(0, 200000);
        QCOMPARE_GT(coarse, 0);
        // Frames this small are mostly headers, which no quality changes.
        QCOMPARE_GT(fine, coarse * 5 / 4);
        QCOMPARE_GT(tight, 0);
        QCOMPARE_LT(tight * 3 / 2, loose);
    }

    // A full disk fails the first frame that does not fit with its index; the file holds
    // exactly the frames before, within about one frame of the limit, playing in order
    // and time, in RIFFs within their size.
    void stopsAtAFullDisk_data() {
        QTest::addColumn<FullDiskRow>("row");
        QTest::newRow("uncompressed") << FullDiskRow{.fourcc = "DIB", .bytesThatFit = 40000};
        QTest::newRow("uncompressed, past the first RIFF")
            << FullDiskRow{.fourcc = "DIB", .bytesThatFit = 60000, .riffSize = 8192};
        QTest::newRow("ZMBV, null frames") << FullDiskRow{
            .fourcc = "ZMBV", .bytesThatFit = 26000, .flags = AVICOMPRESSF_NULLFRAMES};
        QTest::newRow("uncompressed, full file system")
            << FullDiskRow{.fourcc = "DIB", .bytesThatFit = 204800, .disk = Disk::SmallTmpfs};
    }
    void stopsAtAFullDisk() {
        QFETCH(FullDiskRow, row);
        QTemporaryDir mountPoint;
        const bool tmpfs = row.disk == Disk::SmallTmpfs;
        if (tmpfs && QProcess::execute("mount", {"-t", "tmpfs", "-o",
                                                 QString("size=%1").arg(row.bytesThatFit), "tmpfs",
                                                 mountPoint.path()}) != 0)
            QSKIP("cannot mount a small file system here");
        const auto unmount = qScopeGuard([&] {
            if (tmpfs)
                QProcess::execute("umount", {mountPoint.path()});
        });
        if (row.riffSize)
            setWriterLimits({row.riffSize, 64});
        const bool nulls = row.flags & AVICOMPRESSF_NULLFRAMES;
        const Clip clip = twoHundredFrames(nulls ? 3 : 1);
        const QString path = (tmpfs ? mountPoint.path() : dir.path()) + "/full.avi";
        int written = 0;
        const long long fileSizeLimit = tmpfs ? -1 : row.bytesThatFit;
        QCOMPARE(
            writeAvi(path, clip, optionsFor(row.fourcc, row.flags), 10, &written, fileSizeLimit),
            AVIERR_FILEWRITE);
        QCOMPARE_GT(written, 3);
        QCOMPARE_LT(written, 200);
        const Stored stored = storedFrames(clip, written, nulls);
        QCOMPARE(probe(path, "packet=pts"), stored.pts);
        QCOMPARE(probe(path, "stream=nb_frames").toInt(), written);
        // The failed frame really had no room.
        const qint64 size = QFileInfo(path).size();
        QCOMPARE_LE(size, row.bytesThatFit);
        QCOMPARE_GT(size + 2 * (8 + std::ranges::max(packetSizes(path))) + 128, row.bytesThatFit);
        const auto riffs = topLevelChunks(path);
        QCOMPARE(riffs[0].first, "RIFFAVI ");
        for (qsizetype i = 1; i < riffs.size(); ++i)
            QCOMPARE(riffs[i].first, "RIFFAVIX");
        QCOMPARE(decode(path, true), stored.pixels);
    }

    // Past its RIFF size a file goes on in OpenDML RIFFs, each within the size, until the
    // super index has no slot left: that frame fails and the file holds the ones before.
    void staysWithinRiffLimits_data() {
        QTest::addColumn<RiffRow>("row");
        QTest::newRow("RIFFs of 16 KiB") << RiffRow{64, Outcome::Complete, 200, 34};
        QTest::newRow("3 index slots") << RiffRow{3, Outcome::StopsAtIndexSlots, 18, 3};
    }
    void staysWithinRiffLimits() {
        QFETCH(RiffRow, row);
        constexpr std::uint64_t riffSize = 16384;
        setWriterLimits({riffSize, row.superIndexSlots});
        const Clip clip = twoHundredFrames(1);
        const QString path = dir.filePath("riffs.avi");
        int written = 0;
        QCOMPARE(writeAvi(path, clip, optionsFor("DIB"), 10, &written), HRESULT(row.outcome));
        QCOMPARE(written, row.framesWritten);
        const auto riffs = topLevelChunks(path);
        QCOMPARE(riffs.size(), row.riffs);
        for (const auto& [type, size] : riffs)
            QCOMPARE_LE(size + 8, riffSize);
        QCOMPARE(probe(path, "stream=nb_frames").toInt(), written);
        QVERIFY(gstreamerDiscovers(path).contains(gstreamerDuration(written)));
        const Stored stored = storedFrames(clip, written, false);
        QCOMPARE(gstreamerFrames(path, clip.width), stored.pixels);
    }

    // Null frames (repeats as empty chunks, never first or last) play in time: players
    // skip them and show the frame before. Off by default: ffmpeg fills gaps from the next.
    // ZMBV, which codes a frame against the one before, writes null frames in stopsAtAFullDisk.
    void nullFramesPlayInTime() {
        const Clip clip = twoHundredFrames(3);
        const QString path = dir.filePath("nulls.avi");
        QCOMPARE(writeAvi(path, clip, optionsFor("DIB", AVICOMPRESSF_NULLFRAMES)), AVIERR_OK);
        const Stored stored = storedFrames(clip, 200, true);
        QCOMPARE(probe(path, "packet=pts"), stored.pts);
        QCOMPARE(probe(path, "stream=nb_frames"), "200");
        QCOMPARE(decode(path, true), stored.pixels);
        QVERIFY(gstreamerDiscovers(path).contains(gstreamerDuration(200)));
    }

    // Bad handles (released, made up) and frames that do not fit format or position are
    // refused with their own codes.
    void handlesAndArgumentsAreChecked() {
        const Clip clip = makeClip(32, 24, 24, {0, 0}), wide = makeClip(36, 24, 24, {0});
        const TestDib& a = clip[0];
        const auto write = [&](PAVISTREAM s, int pos, int size) {
            return AVIStreamWrite(s, pos, 1, a.bits.data(), size, AVIIF_KEYFRAME, nullptr, nullptr);
        };
        const auto setFormat = [](PAVISTREAM s, const std::vector<std::uint8_t>& info) {
            return AVIStreamSetFormat(s, 0, info.data(), int(info.size()));
        };
        const int n = int(a.bits.size());
        const QString path = dir.filePath("handles.avi");
        PAVIFILE f = 0;
        PAVISTREAM plain = 0, s = 0;
        QCOMPARE(openStream(path, 32, 24, &f, &plain), AVIERR_OK);
        const AVI_COMPRESS_OPTIONS none;
        QCOMPARE(AVIFileCreateStreamA(f, &s, nullptr), AVIERR_BADPARAM);
        QCOMPARE(AVIMakeCompressedStream(&s, plain, &none, nullptr), AVIERR_OK);
        QCOMPARE(write(s, 0, n), AVIERR_BADFORMAT); // before the format
        QCOMPARE(setFormat(s, wide[0].info), AVIERR_BADFORMAT);
        QCOMPARE(setFormat(s, a.info), AVIERR_OK);
        QCOMPARE(write(f, 0, n), AVIERR_BADHANDLE); // a file handle
        QCOMPARE(write(12345, 0, n), AVIERR_BADHANDLE);
        QCOMPARE(write(s, 1, n), AVIERR_BADPARAM);
        QCOMPARE(write(s, 0, n - 1), AVIERR_BADSIZE);
        QCOMPARE(write(s, 0, n), AVIERR_OK);
        QCOMPARE(AVIStreamRelease(plain), AVIERR_OK);
        QCOMPARE(AVIStreamRelease(plain), AVIERR_BADHANDLE);
        QCOMPARE(AVIStreamRelease(s), AVIERR_OK);
        QCOMPARE(write(s, 1, n), AVIERR_BADHANDLE);
        QCOMPARE(AVIFileRelease(f), AVIERR_OK);
        QCOMPARE(AVIFileRelease(f), AVIERR_BADHANDLE);
        QCOMPARE(AVIFileCreateStreamA(f, &plain, nullptr), AVIERR_BADPARAM);
        QCOMPARE(probe(path, "stream=nb_read_frames"), "1");
        AVIFileExit();

        // A second job after AVIFileExit replaces the file.
        QCOMPARE(writeAvi(path, clip, {}), AVIERR_OK);
        QCOMPARE(probe(path, "stream=nb_read_frames"), "2");
        QCOMPARE(
            AVIFileOpen(&f, qPrintable(path + "/in/a/file.avi"), OF_WRITE | OF_CREATE, nullptr),
            AVIERR_FILEOPEN);
        QCOMPARE(f, 0u);
        AVIFileInit();
    }

    // A failure keeps its reason for the caller and the log: a compressor that cannot take
    // the size (refused at the format, not mid-job), a picture too big for one chunk, and a
    // first picture wider than an AVI file can say.
    void failuresSayWhy() {
        const QString path = dir.filePath("why.avi");
        PAVIFILE f = 0;
        PAVISTREAM plain = 0, s = 0;
        QCOMPARE(openStream(path, 30, 24, &f, &plain), AVIERR_OK);
        const AVI_COMPRESS_OPTIONS unknown = optionsFor("XXXX"), cinepak = optionsFor("cvid");
        QCOMPARE(AVIMakeCompressedStream(&s, plain, &unknown, nullptr), AVIERR_NOCOMPRESSOR);
        QCOMPARE(AVIMakeCompressedStream(&s, plain, &cinepak, nullptr), AVIERR_OK);
        const auto info = makeClip(30, 24, 24, {0})[0].info;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("multiples of 4"));
        QCOMPARE(AVIStreamSetFormat(s, 0, info.data(), int(info.size())), AVIERR_COMPRESSOR);
        QCOMPARE(AVILastErrorText(),
                 QString("Cinepak needs a width and height that are multiples of 4"));
        QCOMPARE(AVIStreamRelease(s), AVIERR_OK);
        QCOMPARE(AVIStreamRelease(plain), AVIERR_OK);
        QCOMPARE(AVIFileRelease(f), AVIERR_OK);

        // Frames of 4 GiB could not be one chunk: refused, not truncated.
        const std::uint32_t side = 32767, huge[10] = {40, side, side, 1 | 32 << 16};
        QCOMPARE(openStream(path, side, side, &f, &plain), AVIERR_OK);
        QCOMPARE(AVIStreamSetFormat(plain, 0, huge, sizeof huge), AVIERR_BADFORMAT);
        QVERIFY2(AVILastErrorText().contains("2 GiB"), qPrintable(AVILastErrorText()));
        QCOMPARE(AVIStreamRelease(plain), AVIERR_OK);
        QCOMPARE(AVIFileRelease(f), AVIERR_OK);

        QCOMPARE(openStream(path, 40000, 30, &f, &plain), AVIERR_BADPARAM);
        QCOMPARE(AVILastErrorText(), QString::fromUtf8("a 40000 × 30 picture: an AVI file cannot "
                                                       "hold a side over 32,767 pixels"));
        QCOMPARE(AVIFileRelease(f), AVIERR_OK);
    }

    // The writer keeps 8 bytes per frame of the current RIFF and nothing else that grows.
    void memoryGrowsOnlyByTheIndex() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("mallinfo2 does not see the sanitizer's allocator");
#endif
        const TestDib a = makeClip(4, 4, 8, {0})[0];
        PAVIFILE f = 0;
        PAVISTREAM s = 0;
        QCOMPARE(openStream(dir.filePath("memory.avi"), 4, 4, &f, &s), AVIERR_OK);
        QCOMPARE(AVIStreamSetFormat(s, 0, a.info.data(), int(a.info.size())), AVIERR_OK);
        // Big blocks come from mmap, counted apart from the heap.
        const auto inUse = [] { return double(mallinfo2().uordblks + mallinfo2().hblkhd); };
        const int warmUp = 1000, frames = 100000;
        double startBytes = 0;
        int failed = 0;
        for (int i = 0; i < frames; ++i) {
            if (i == warmUp)
                startBytes = inUse();
            failed += AVIStreamWrite(s, i, 1, a.bits.data(), 16, AVIIF_KEYFRAME, 0, 0) != 0;
        }
        const double perFrame = (inUse() - startBytes) / (frames - warmUp);
        QCOMPARE(failed, 0);
        // 8 per entry, up to twice that while the vector doubles.
        QCOMPARE_LE(perFrame, 16.0);
        QCOMPARE(AVIStreamRelease(s), AVIERR_OK);
        QCOMPARE(AVIFileRelease(f), AVIERR_OK);
    }
};

QTEST_GUILESS_MAIN(AviFileTest)
#include "tst_avifile.moc"
