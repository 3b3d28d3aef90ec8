#include "avi_test_support.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <malloc.h>

class AviFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { AVIFileInit(); }
    void cleanup() { setWriterLimits({}); }

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
        const QString path = dir.filePath("codec.avi");
        QCOMPARE(writeAvi(path, clip, optionsFor(f[0], AVICOMPRESSF_KEYFRAMES, 7500, 3), 12), 0);
        const QString tag = f[0] == "DIB" ? "[0][0][0][0]" : f[0];
        QCOMPARE(probe(path, "stream=codec_name,codec_tag_string,width,height,r_frame_rate,"
                             "nb_read_frames"),
                 QString("%1 %2 %3 24 12/1 7").arg(f[1], tag, f[4]).toLatin1());
        QCOMPARE_GE(leastPsnr(decode(path), clip.expected, clip.frameBytes()), f[2].toDouble());
        const QByteArrayList packets = probe(path, "packet=flags,data_hash").split(' ');
        QByteArray keys;
        for (qsizetype i = 0; i < packets.size(); i += 2)
            keys += packets[i][0];
        QCOMPARE(keys, intraOnly ? "KKKKKKK" : "K__K__K");
        QVERIFY(!intraOnly || (packets[3] == packets[5] && packets[9] == packets[11] &&
                               packets[11] == packets[13])); // repeats: the same data
        if (f.size() > 5)
            QVERIFY(gstreamerFrames(path).startsWith(clip.expected.left(2 * clip.frameBytes())));
    }

    // Higher quality gives bigger frames; a lower data rate, smaller ones.
    void qualityAndDataRateAreHonoured() {
        const Clip clip = makeClip(64, 48, 24, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        const QString path = dir.filePath("quality.avi");
        for (const char* fourcc : {"MJPG", "XVID", "H264"}) {
            const auto bytes = [&](std::uint32_t quality, std::uint32_t rate) {
                const auto o = optionsFor(fourcc, AVICOMPRESSF_DATARATE, quality, 0, rate);
                int total = writeAvi(path, clip, o) == 0 ? 0 : -1000000;
                for (const QByteArray& size : probe(path, "packet=size").split(' '))
                    total += size.toInt();
                return total;
            };
            QVERIFY2(bytes(9500, 0) > bytes(2000, 0) * 3 / 2, fourcc);
            QVERIFY2(bytes(0, 300) * 3 / 2 < bytes(0, 200000), fourcc);
        }
    }

    // A full disk (a file-size limit, or a tmpfs when we may mount) or every super-index slot
    // taken fails the first frame that does not fit with its index; the file holds exactly the
    // frames before, in RIFFs within their size, playing in order and time. Null frames (repeats
    // as empty chunks, never first or last) are off by default: ffmpeg fills gaps from the next.
    void framesFitTheirLimitsAndPlay_data() {
        // FOURCC, bytes that fit, RIFF size, super-index slots (0: none, defaults), options
        QTest::addColumn<QString>("row");
        for (const char* row :
             {"DIB 0 0 0 nulls", "MJPG 0 0 0 nulls", "ZMBV 0 0 0 nulls", "DIB 0 16384 0",
              "DIB 0 16384 3", "DIB 40000 0 0", "DIB 60000 8192 0", "DIB 40000 0 0 nulls",
              "MJPG 24000 0 0", "ZMBV 26000 0 0 nulls", "DIB 204800 0 0 tmpfs"})
            QTest::newRow(row) << QString(row);
    }
    void framesFitTheirLimitsAndPlay() {
        QFETCH(QString, row);
        const QStringList f = row.split(' ');
        const int limit = f[1].toInt(), riffSize = f[2].toInt(), indexSlots = f[3].toInt();
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
        const QString path = tmpfs ? mountPoint.filePath("full.avi") : dir.filePath("full.avi");
        if (riffSize)
            setWriterLimits({std::uint64_t(riffSize), std::uint32_t(indexSlots ? indexSlots : 64)});
        int written = 0;
        QCOMPARE(writeAvi(path, clip, optionsFor(f[0], nulls ? AVICOMPRESSF_NULLFRAMES : 0), 10,
                          &written, tmpfs || !limit ? -1 : limit) == 0,
                 limit == 0 && indexSlots == 0);
        QVERIFY(limit || indexSlots ? written > 3 && written < 200 : written == 200);
        const auto riffs = topLevelChunks(path);
        QVERIFY(indexSlots ? riffs.size() == indexSlots : riffs.size() >= (riffSize ? 4 : 1));
        for (const auto& [type, size] : riffs)
            QVERIFY((!riffSize || size + 8 <= quint32(riffSize)) &&
                    type == (&type == &riffs[0].first ? "RIFFAVI " : "RIFFAVIX"));
        QByteArray stored, shown;
        for (int i = 0; i < written; ++i)
            if (!nulls || i == 0 || i == written - 1 || clip.order[i] != clip.order[i - 1]) {
                stored += QByteArray::number(i) + ' ';
                shown += clip[std::size_t(i)].expected;
            }
        QCOMPARE(probe(path, "packet=pts"), stored.trimmed());
        int largest = 0;
        for (const QByteArray& size : probe(path, "packet=size").split(' '))
            largest = std::max(largest, size.toInt());
        // The failed frame really had no room: the file is within about one frame of the limit.
        const qint64 size = QFileInfo(path).size();
        QVERIFY(!limit || (size <= limit && size + 2 * (8 + largest) + 224 > limit));
        QCOMPARE(probe(path, "stream=nb_frames").toInt(), written);
        const QString duration = QString("Duration: 0:00:%1").arg(written / 10.0, 12, 'f', 9, '0');
        if (f[0] != "ZMBV") // GStreamer has no ZMBV decoder
            QVERIFY(run("gst-discoverer-1.0", {path}).contains(duration.toLatin1()));
        QCOMPARE_GT(leastPsnr(decode(path, true), shown, clip.frameBytes()),
                    f[0] == "MJPG" ? 29 : 98);
        if (f[0] == "DIB")
            QCOMPARE(gstreamerFrames(path), shown);
    }

    // Bad handles (released, made up) and frames that do not fit format or position are refused.
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
        QCOMPARE(openStream(path, 32, 24, &f, &plain), 0);
        const AVI_COMPRESS_OPTIONS none, unknown = optionsFor("XXXX"), cinepak = optionsFor("cvid");
        QVERIFY(AVIFileCreateStreamA(f, &s, nullptr) != 0 &&
                AVIMakeCompressedStream(&s, plain, &none, nullptr) == 0);
        QVERIFY(write(s, 0, n) != 0); // before the format
        QVERIFY(setFormat(s, wide[0].info) != 0 && setFormat(s, a.info) == 0);
        QVERIFY(write(f, 0, n) != 0 && write(12345, 0, n) != 0); // not stream handles
        QVERIFY(write(s, 1, n) != 0 && write(s, 0, n - 1) != 0 && write(s, 0, n + 4) != 0);
        QCOMPARE(write(s, 0, n), 0);
        QVERIFY(AVIStreamRelease(plain) == 0 && AVIStreamRelease(plain) != 0);
        QVERIFY(AVIStreamRelease(s) == 0 && write(s, 1, n) != 0 && AVIFileRelease(s) != 0);
        QVERIFY(AVIFileRelease(f) == 0 && AVIFileRelease(f) != 0);
        QVERIFY(AVIFileCreateStreamA(f, &plain, nullptr) != 0);
        QCOMPARE(probe(path, "stream=nb_read_frames"), "1");
        AVIFileExit();

        // A second job after AVIFileExit replaces the file.
        QCOMPARE(writeAvi(path, clip, {}), 0);
        QCOMPARE(probe(path, "stream=nb_read_frames"), "2");
        QVERIFY(AVIFileOpen(&f, qPrintable(path + "/in/a/file.avi"), 4097, nullptr) != 0 && f == 0);
        QCOMPARE(openStream(path, 30, 24, &f, &plain), 0);
        QVERIFY(AVIMakeCompressedStream(&s, plain, &unknown, nullptr) != 0);
        // Cinepak takes sizes in multiples of 4 only: refused at the format, not mid-job.
        QVERIFY(AVIMakeCompressedStream(&s, plain, &cinepak, nullptr) == 0 &&
                setFormat(s, makeClip(30, 24, 24, {0})[0].info) != 0);
        QVERIFY(AVIStreamRelease(s) == 0 && AVIStreamRelease(plain) == 0 && AVIFileRelease(f) == 0);
        // A picture whose frames could not be one chunk (2 GiB) is refused, not truncated.
        const std::uint32_t side = 32767, huge[10] = {40, side, side, 1 | 32 << 16};
        QCOMPARE(openStream(path, side, side, &f, &plain), 0);
        QVERIFY(AVIStreamSetFormat(plain, 0, huge, sizeof huge) != 0);
        QVERIFY(AVIStreamRelease(plain) == 0 && AVIFileRelease(f) == 0);
        AVIFileInit();
    }

    // The writer keeps 8 bytes per frame of the current RIFF and nothing else that grows.
    void memoryGrowsOnlyByTheIndex() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("mallinfo2 does not see the sanitizer's allocator");
#endif
        const TestDib a = makeClip(4, 4, 8, {0})[0];
        PAVIFILE f = 0;
        PAVISTREAM s = 0;
        QVERIFY(openStream(dir.filePath("memory.avi"), 4, 4, &f, &s) == 0 &&
                AVIStreamSetFormat(s, 0, a.info.data(), int(a.info.size())) == 0);
        // Big blocks come from mmap, counted apart from the heap.
        const auto inUse = [] { return double(mallinfo2().uordblks + mallinfo2().hblkhd); };
        const int warmUp = 1000, frames = 100000;
        double startBytes = 0, failed = 0;
        for (int i = 0; i < frames; ++i) {
            startBytes = i == warmUp ? inUse() : startBytes;
            failed += AVIStreamWrite(s, i, 1, a.bits.data(), 16, AVIIF_KEYFRAME, 0, 0) != 0;
        }
        const double perFrame = (inUse() - startBytes) / (frames - warmUp);
        // 8 per entry, up to twice that while the vector doubles.
        QVERIFY2(failed == 0 && perFrame <= 16, qPrintable(QString::number(perFrame)));
        QVERIFY(AVIStreamRelease(s) == 0 && AVIFileRelease(f) == 0);
    }
};

QTEST_GUILESS_MAIN(AviFileTest)
#include "tst_avifile.moc"
