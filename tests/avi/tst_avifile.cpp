#include "avi_test_support.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <cstring>
#include <malloc.h>
#include <numeric>

class AviFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase() { AVIFileInit(); }

    // Uncompressed at every depth (width 37: row padding) and every compressor: right codec,
    // FOURCC, size, rate, frame count; exact pixels or above a PSNR bound; key frames every 3;
    // intra-only codecs reuse a repeated picture's packet. Every depth reaches a lossless
    // codec. A short colour table is filled up in the file, or GStreamer shows black.
    void framesDecode_data() {
        // FOURCC, ffprobe's codec name, least PSNR (99: identical), depth, width, colours
        QTest::addColumn<QString>("row");
        for (const char* row :
             {"DIB rawvideo 99 1 37", "DIB rawvideo 99 4 37", "DIB rawvideo 99 8 37",
              "DIB rawvideo 99 16 37", "DIB rawvideo 99 24 37", "DIB rawvideo 99 32 37",
              "DIB rawvideo 99 8 40 16", "FFV1 ffv1 99 1 32", "FFV1 ffv1 99 16 32",
              "HFYU huffyuv 99 4 32", "ULRG utvideo 99 24 32", "ZMBV zmbv 99 8 32",
              "ZMBV zmbv 99 32 32", "MJPG mjpeg 29 8 32", "XVID mpeg4 29 24 32",
              "H264 h264 29 8 32", "cvid cinepak 25 24 32", "MSVC msvideo1 26 8 32"})
            QTest::newRow(row) << QString(row);
    }
    void framesDecode() {
        QFETCH(QString, row);
        const QStringList f = row.split(' ');
        const bool intraOnly = QString("DIB MJPG FFV1 HFYU ULRG").contains(f[0]);
        // Cinepak takes two seconds for a 320x240 frame: tiny pictures.
        const Clip clip =
            makeClip(f[4].toInt(), 24, f[3].toInt(), {0, 1, 1, 2, 3, 3, 3}, f.value(5).toInt());
        const QString path = file("codec.avi");
        QCOMPARE(writeAvi(path, clip, optionsFor(f[0], AVICOMPRESSF_KEYFRAMES, 7500, 3), 12), 0);
        QCOMPARE(
            probe(path, "codec_name codec_tag_string width height r_frame_rate nb_read_frames"),
            QString("%1 %2 %3 24 12/1 7").arg(f[1], f[0] == "DIB" ? "[0][0][0][0]" : f[0], f[4]));
        QCOMPARE_GE(leastPsnr(decode(path, clip), clip.expected()), f[2].toDouble());
        const auto packets = readPackets(path);
        QCOMPARE(packets.size(), 7);
        for (std::size_t i = 0; i < 7; ++i) {
            QCOMPARE(packets[i].key, intraOnly || i % 3 == 0);
            if (intraOnly && i > 0 && clip.order[i] == clip.order[i - 1])
                QCOMPARE(packets[i].hash, packets[i - 1].hash);
        }
        if (f.size() > 5)
            QVERIFY(gstreamerFrames(path).startsWith(clip.expected().first(2).join()));
    }

    // Higher quality gives bigger frames; a lower data rate, smaller ones.
    void qualityAndDataRateAreHonoured() {
        const Clip clip = makeClip(64, 48, 24, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        for (const char* fourcc : {"MJPG", "XVID", "H264"}) {
            const auto bytes = [&](std::uint32_t quality, std::uint32_t rate) {
                const auto o = optionsFor(fourcc, AVICOMPRESSF_DATARATE, quality, 0, rate);
                int total = 0;
                if (writeAvi(file("quality.avi"), clip, o) != 0)
                    return -1;
                for (const Packet& p : readPackets(file("quality.avi")))
                    total += p.size;
                return total;
            };
            QVERIFY2(bytes(9500, 0) > bytes(2000, 0) * 3 / 2, fourcc);
            QVERIFY2(bytes(0, 300) * 3 / 2 < bytes(0, 200000), fourcc);
        }
    }

    // Several RIFFs, none past the limit, decode in order with ffmpeg and GStreamer. With
    // every super-index slot taken, the next RIFF is refused like a full disk.
    void openDmlFileDecodesCompletely() {
        const std::uint64_t riffSize = 16 * 1024;
        const auto restore =
            qScopeGuard([before = setWriterLimits({riffSize, 64})] { setWriterLimits(before); });
        std::vector<int> order(40);
        std::iota(order.begin(), order.end(), 0);
        const Clip clip = makeClip(32, 24, 24, order);
        const QString path = file("odml.avi");
        QCOMPARE(writeAvi(path, clip, {}), 0);
        const auto riffs = topLevelChunks(path);
        QVERIFY(riffs.size() >= 4);
        for (const auto& [type, size] : riffs)
            QVERIFY(size + 8 <= riffSize &&
                    type == (&type == &riffs[0].first ? "RIFFAVI " : "RIFFAVIX"));
        QCOMPARE(probe(path, "nb_read_frames"), "40");
        QCOMPARE(decode(path, clip), clip.expected());
        QCOMPARE(gstreamerFrames(path), clip.expected().join());

        setWriterLimits({riffSize, 3});
        int written = 0;
        QVERIFY(writeAvi(path, clip, {}, 10, &written) != 0);
        QCOMPARE(topLevelChunks(path).size(), 3);
        QCOMPARE(decode(path, clip), clip.expected().first(written));
    }

    // A repeated picture becomes a zero-length chunk, never first or last; the header counts
    // every frame, players keep the timing. (At a constant rate ffmpeg fills each gap from
    // the frame after it: a a b b c c c c. Hence the option is off by default.)
    void repeatedFramesAsNullFrames_data() {
        QTest::addColumn<QString>("fourcc");
        for (const char* c : {"DIB", "MJPG", "ZMBV"})
            QTest::newRow(c) << c;
    }
    void repeatedFramesAsNullFrames() {
        QFETCH(QString, fourcc);
        const Clip clip = makeClip(32, 24, 24, {0, 0, 0, 1, 1, 2, 2, 2});
        const QString path = file("null.avi");
        QCOMPARE(writeAvi(path, clip, optionsFor(fourcc, AVICOMPRESSF_NULLFRAMES)), 0);
        QCOMPARE(probe(path, "duration nb_frames nb_read_frames"), "0.800000 8 4");
        QList<int> pts;
        for (const Packet& p : readPackets(path))
            pts.append(p.pts);
        QCOMPARE(pts, QList<int>({0, 3, 5, 7}));
        if (fourcc != "ZMBV") // GStreamer has no ZMBV decoder
            QVERIFY(run("gst-discoverer-1.0", {path}).contains("Duration: 0:00:00.800000000"));
        const QList<QByteArray> shown = makeClip(32, 24, 24, {0, 1, 2, 2}).expected();
        QCOMPARE_GT(leastPsnr(decode(path, clip, true), shown), fourcc == "MJPG" ? 29 : 98);
    }

    // A full disk (file-size limit, or a tmpfs when we may mount) fails the first frame that
    // does not fit with its index; the file holds exactly the frames before, the last real.
    void fullDiskFailsAtTheFrameThatDoesNotFit_data() {
        // FOURCC, bytes that fit, RIFF size (0: the default), repeats as null frames, tmpfs
        QTest::addColumn<QString>("row");
        for (const char* row : {"DIB 40000 0", "DIB 60000 8192", "DIB 40000 0 nulls",
                                "MJPG 24000 0", "ZMBV 26000 0 nulls", "DIB 204800 0 tmpfs"})
            QTest::newRow(row) << QString(row);
    }
    void fullDiskFailsAtTheFrameThatDoesNotFit() {
        QFETCH(QString, row);
        const QStringList f = row.split(' ');
        const int limit = f[1].toInt(), riffSize = f[2].toInt();
        const bool nulls = row.contains("nulls"), tmpfs = row.contains("tmpfs");
        QTemporaryDir mountPoint;
        if (tmpfs && QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=" + f[1], "tmpfs",
                                                 mountPoint.path()}) != 0)
            QSKIP("cannot mount a small file system here");
        const auto unmount = qScopeGuard([&] {
            if (tmpfs)
                QProcess::execute("umount", {mountPoint.path()});
        });
        std::vector<int> order;
        for (int i = 0; i < 200; ++i) // with null frames: each picture three times
            order.push_back(nulls ? (i / 3) % 60 : i % 60);
        const Clip clip = makeClip(32, 24, 24, order);
        const QString path = tmpfs ? mountPoint.filePath("full.avi") : file("full.avi");
        const auto restore = qScopeGuard(
            [before = setWriterLimits(riffSize ? WriterLimits{std::uint64_t(riffSize), 64}
                                               : WriterLimits{})] { setWriterLimits(before); });
        int written = 0;
        QVERIFY(writeAvi(path, clip, optionsFor(f[0], nulls ? AVICOMPRESSF_NULLFRAMES : 0), 10,
                         &written, tmpfs ? -1 : limit) != 0);
        QVERIFY(written > 3 && written < 200);
        // The failed frame really had no room: the file is within about one frame of the limit.
        const auto packets = readPackets(path);
        int largest = 0;
        QList<QByteArray> shown;
        for (const Packet& p : packets) {
            largest = std::max(largest, p.size);
            shown.append(clip[std::size_t(p.pts)].expected);
        }
        const qint64 size = QFileInfo(path).size();
        QVERIFY(size <= limit && size + 2 * (8 + largest) + 224 > limit);
        QCOMPARE(probe(path, "nb_frames").toInt(), written);
        QCOMPARE(packets.last().pts, written - 1);
        QCOMPARE_GT(leastPsnr(decode(path, clip, true), shown), f[0] == "MJPG" ? 29 : 98);
    }

    // Released or made-up handles and frames that do not fit format or position are refused;
    // the layer works again after AVIFileExit.
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
        const QString path = file("handles.avi");
        PAVIFILE f = 0;
        PAVISTREAM plain = 0, s = 0;
        QCOMPARE(openStream(path, 32, 24, &f, &plain), 0);
        QVERIFY(AVIFileCreateStreamA(f, &s, nullptr) != 0);
        const AVI_COMPRESS_OPTIONS none, unknown = optionsFor("XXXX"), cinepak = optionsFor("cvid");
        QCOMPARE(AVIMakeCompressedStream(&s, plain, &none, nullptr), 0);
        QVERIFY(write(s, 0, n) != 0); // before the format
        QVERIFY(setFormat(s, wide[0].info) != 0 && setFormat(s, a.info) == 0);
        QVERIFY(write(f, 0, n) != 0 && write(12345, 0, n) != 0); // not stream handles
        QVERIFY(write(s, 1, n) != 0 && write(s, 0, n - 1) != 0 && write(s, 0, n + 4) != 0);
        QCOMPARE(write(s, 0, n), 0);
        QVERIFY(AVIStreamRelease(plain) == 0 && AVIStreamRelease(plain) != 0);
        QVERIFY(AVIStreamRelease(s) == 0 && write(s, 1, n) != 0 && AVIFileRelease(s) != 0);
        QVERIFY(AVIFileRelease(f) == 0 && AVIFileRelease(f) != 0);
        QVERIFY(AVIFileCreateStreamA(f, &plain, nullptr) != 0);
        QCOMPARE(probe(path, "nb_read_frames"), "1");
        AVIFileExit();

        // A second job after AVIFileExit replaces the file.
        QCOMPARE(writeAvi(path, clip, {}), 0);
        QCOMPARE(probe(path, "nb_read_frames"), "2");
        QVERIFY(AVIFileOpen(&f, qPrintable(file("no/such/folder.avi")), 4097, nullptr) != 0);
        QCOMPARE(f, 0u);
        QCOMPARE(openStream(path, 30, 24, &f, &plain), 0);
        QVERIFY(AVIMakeCompressedStream(&s, plain, &unknown, nullptr) != 0);
        // Cinepak takes sizes in multiples of 4 only: refused at the format, not mid-job.
        QCOMPARE(AVIMakeCompressedStream(&s, plain, &cinepak, nullptr), 0);
        QVERIFY(setFormat(s, makeClip(30, 24, 24, {0})[0].info) != 0);
        QVERIFY(AVIStreamRelease(s) == 0 && AVIStreamRelease(plain) == 0 && AVIFileRelease(f) == 0);
        // A picture whose frames could not be one chunk (4 GiB) is refused, not truncated.
        std::vector<std::uint8_t> huge = makeClip(1, 1, 32, {0})[0].info;
        const std::int32_t side = 32767;
        std::memcpy(huge.data() + 4, &side, 4);
        std::memcpy(huge.data() + 8, &side, 4);
        QCOMPARE(openStream(path, side, side, &f, &plain), 0);
        QVERIFY(setFormat(plain, huge) != 0);
        QVERIFY(AVIStreamRelease(plain) == 0 && AVIFileRelease(f) == 0);
        AVIFileInit();
    }

    // The writer keeps 8 bytes per frame of the current RIFF and nothing else that grows.
    void memoryGrowsOnlyByTheIndex() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("mallinfo2 does not see the sanitizer's allocator");
#else
        const TestDib a = makeClip(4, 4, 8, {0})[0];
        PAVIFILE f = 0;
        PAVISTREAM s = 0;
        QVERIFY(openStream(file("memory.avi"), 4, 4, &f, &s) == 0 &&
                AVIStreamSetFormat(s, 0, a.info.data(), int(a.info.size())) == 0);
        // Big blocks come from mmap, counted apart from the heap.
        const auto inUse = [] { return double(mallinfo2().uordblks + mallinfo2().hblkhd); };
        const int warmUp = 1000, frames = 100000;
        double startBytes = 0;
        int failures = 0;
        for (int i = 0; i < frames; ++i) {
            startBytes = i == warmUp ? inUse() : startBytes;
            failures += AVIStreamWrite(s, i, 1, a.bits.data(), int(a.bits.size()), AVIIF_KEYFRAME,
                                       nullptr, nullptr) != 0;
        }
        const double perFrame = (inUse() - startBytes) / (frames - warmUp);
        // 8 per entry, up to twice that while the vector doubles.
        QVERIFY2(failures == 0 && perFrame <= 16, qPrintable(QString::number(perFrame)));
        QVERIFY(AVIStreamRelease(s) == 0 && AVIFileRelease(f) == 0);
#endif
    }
};

QTEST_GUILESS_MAIN(AviFileTest)
#include "tst_avifile.moc"
