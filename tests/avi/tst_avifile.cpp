#include "avi_test_support.h"

#include <QFileInfo>
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

// What ffprobe says of the seven packets: their key-frame flags, and the frames whose packet
// is the one before it again.
struct Packets {
    QByteArray keyFlags;
    QList<int> reused;
};
const Packets intraOnly{"KKKKKKK", repeatedFrames}, keyEvery3{"K__K__K", {}};

// Whose frames are compared with the pictures: ffmpeg's, or GStreamer's as well.
enum class Players { Ffmpeg, Both };

struct CodecRow {
    const char* fourcc;
    const char* tag; // the stream's, as ffprobe prints it
    int width = 32, height = 24;
    double psnr = 99; // the least of any frame; 99: every pixel exact
    Packets packets = intraOnly;
    std::uint32_t bytesPerSecond = 0; // a data rate to hold; 0: none
    Players players = Players::Ffmpeg;
};

// A full disk: a file-size limit, or a small file system when the test may mount one.
enum class Disk { FileSizeLimit, SmallTmpfs };

struct FullDiskRow {
    const char* fourcc;
    qint64 bytesThatFit;
    std::uint32_t flags = 0;    // AVICOMPRESSF_*
    int timesEach = 1;          // frames running that show one picture
    std::uint64_t riffSize = 0; // 0: the writer's own
    Disk disk = Disk::FileSizeLimit;
};

// How a write of the 200 frames ends; each value is what the job is told.
enum class Outcome : HRESULT {
    Complete = AVIERR_OK,
    StopsAtIndexSlots = AVIERR_FILEWRITE,
};

struct RiffRow {
    std::uint32_t indexSlots; // of the OpenDML super index
    std::uint32_t flags = 0;  // AVICOMPRESSF_*
    int timesEach = 1;        // frames running that show one picture
    Outcome outcome;
    int written; // frames
    qsizetype riffs;
};

// 200 frames of 32 × 24, each picture shown timesEach times.
Clip twoHundredFrames(int timesEach) {
    std::vector<int> order;
    for (int i = 0; i < 200; ++i)
        order.push_back((i / timesEach) % 60);
    return makeClip(32, 24, order);
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

// dwTotalFrames of the main header, which opens the first list of every AVI file.
quint32 mainHeaderTotalFrames(const QString& path) {
    QFile f(path);
    const QByteArray head = f.open(QIODevice::ReadOnly) ? f.read(52) : QByteArray();
    return head.mid(24, 4) == "avih" ? qFromLittleEndian<quint32>(head.constData() + 48) : 0;
}

QList<int> packetSizes(const QString& path) {
    QList<int> sizes;
    for (const QByteArray& size : probe(path, "packet=size").split(' '))
        sizes.append(size.toInt());
    return sizes;
}

} // namespace

class AviFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { AVIFileInit(); }
    void cleanup() { setWriterLimits({}); }

    // Uncompressed (width 37: row padding) and each way of compressing: right codec, FOURCC,
    // size, rate, frame count; exact pixels or above a PSNR bound; key frames every 3;
    // intra-only codecs reuse a repeated picture's packet. MJPEG goes through libjpeg
    // directly (odd sizes too) unless it must hold a data rate.
    void framesDecode_data() {
        QTest::addColumn<CodecRow>("row");
        const auto add = [](const char* name, const CodecRow& r) { QTest::newRow(name) << r; };
        add("uncompressed", {.fourcc = "DIB", .tag = "[0][0][0][0]", .width = 37});
        add("ZMBV", {.fourcc = "ZMBV", .tag = "ZMBV", .packets = keyEvery3});
        add("MJPEG, 321 x 241", {.fourcc = "MJPG",
                                 .tag = "MJPG",
                                 .width = 321,
                                 .height = 241,
                                 .psnr = 30,
                                 .players = Players::Both});
        add("MJPEG, data rate",
            {.fourcc = "MJPG", .tag = "MJPG", .psnr = 29, .bytesPerSecond = 200000});
        add("MPEG-4", {.fourcc = "XVID", .tag = "XVID", .psnr = 29, .packets = keyEvery3});
        add("H.264", {.fourcc = "H264", .tag = "H264", .psnr = 29, .packets = keyEvery3});
        add("Microsoft Video 1",
            {.fourcc = "MSVC", .tag = "MSVC", .psnr = 26, .packets = keyEvery3});
    }
    void framesDecode() {
        QFETCH(CodecRow, row);
        const Clip clip = makeClip(row.width, row.height, withRepeats);
        const QString path = dir.filePath("codec.avi");
        const auto options = optionsFor(row.fourcc, AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE,
                                        7500, 3, row.bytesPerSecond);
        QCOMPARE(writeAvi(path, clip, options, 12), AVIERR_OK);
        QCOMPARE(probe(path, "stream=codec_tag_string,width,height,r_frame_rate,nb_read_frames"),
                 QString("%1 %2 %3 12/1 7").arg(row.tag).arg(row.width).arg(row.height));
        // Players that read the main header alone take their frame count from it.
        QCOMPARE(mainHeaderTotalFrames(path), 7u);
        QCOMPARE_GE(leastPsnr(decode(path), clip.expected, clip.frameBytes()), row.psnr);
        const QByteArrayList packets = probe(path, "packet=flags,data_hash").split(' ');
        QByteArray keys;
        QList<int> reused;
        for (qsizetype i = 0; i < packets.size(); i += 2) {
            keys += packets[i][0];
            if (i > 0 && packets[i + 1] == packets[i - 1])
                reused.append(int(i / 2));
        }
        QCOMPARE(keys, row.packets.keyFlags);
        QCOMPARE(reused, row.packets.reused);
        if (row.players == Players::Both)
            QCOMPARE_GE(
                leastPsnr(gstreamerFrames(path, clip.width), clip.expected, clip.frameBytes()),
                row.psnr);
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
        const Clip clip = makeClip(64, 48, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
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
        QTest::newRow("uncompressed, past the first RIFF")
            << FullDiskRow{.fourcc = "DIB", .bytesThatFit = 60000, .riffSize = 8192};
        QTest::newRow("ZMBV, null frames") << FullDiskRow{.fourcc = "ZMBV",
                                                          .bytesThatFit = 26000,
                                                          .flags = AVICOMPRESSF_NULLFRAMES,
                                                          .timesEach = 3};
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
        const Clip clip = twoHundredFrames(row.timesEach);
        const QString path = (tmpfs ? mountPoint.path() : dir.path()) + "/full.avi";
        int written = 0;
        const long long fileSizeLimit = tmpfs ? -1 : row.bytesThatFit;
        QCOMPARE(
            writeAvi(path, clip, optionsFor(row.fourcc, row.flags), 10, &written, fileSizeLimit),
            AVIERR_FILEWRITE);
        const Stored stored = storedFrames(clip, written, row.flags & AVICOMPRESSF_NULLFRAMES);
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
    // super index has no slot left: that frame fails and the file holds the ones before. Null
    // frames (repeats as empty chunks, never first or last) play in time: players skip them
    // and show the frame before. They are off by default: ffmpeg fills gaps from the next.
    void staysWithinRiffLimits_data() {
        QTest::addColumn<RiffRow>("row");
        QTest::newRow("3 index slots") << RiffRow{
            .indexSlots = 3, .outcome = Outcome::StopsAtIndexSlots, .written = 18, .riffs = 3};
        QTest::newRow("null frames") << RiffRow{.indexSlots = 64,
                                                .flags = AVICOMPRESSF_NULLFRAMES,
                                                .timesEach = 3,
                                                .outcome = Outcome::Complete,
                                                .written = 200,
                                                .riffs = 12};
    }
    void staysWithinRiffLimits() {
        QFETCH(RiffRow, row);
        constexpr std::uint64_t riffSize = 16384;
        setWriterLimits({riffSize, row.indexSlots});
        const Clip clip = twoHundredFrames(row.timesEach);
        const QString path = dir.filePath("riffs.avi");
        int written = 0;
        QCOMPARE(writeAvi(path, clip, optionsFor("DIB", row.flags), 10, &written),
                 HRESULT(row.outcome));
        QCOMPARE(written, row.written);
        const auto riffs = topLevelChunks(path);
        QCOMPARE(riffs.size(), row.riffs);
        for (const auto& [type, size] : riffs)
            QCOMPARE_LE(size + 8, riffSize);
        const Stored stored = storedFrames(clip, written, row.flags & AVICOMPRESSF_NULLFRAMES);
        QCOMPARE(probe(path, "packet=pts"), stored.pts);
        QCOMPARE(probe(path, "stream=nb_frames").toInt(), written);
        QCOMPARE(decode(path, true), stored.pixels);
        QCOMPARE(gstreamerFrames(path, clip.width), stored.pixels);
    }

    // The writer keeps 8 bytes per frame of the current RIFF and nothing else that grows.
    void memoryGrowsOnlyByTheIndex() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("mallinfo2 does not see the sanitizer's allocator");
#endif
        const TestDib a = makeDib(4, 4, 0);
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
            failed += AVIStreamWrite(s, i, 1, a.bits.data(), int(a.bits.size()), AVIIF_KEYFRAME, 0,
                                     0) != 0;
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
