#include "avi_test_support.h"

#include "avi/mavidecs.h"

#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <malloc.h>

using namespace mAVIDecs;

class AviFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        AVIFileInit();
    }

    // Uncompressed frames are the DIB bytes as handed over and decode to exactly the
    // source pixels; odd widths test the row padding. A short colour table goes into the
    // file filled up: GStreamer shows black otherwise.
    void uncompressedFramesDecodeToTheSourcePixels_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("colours"); // entries in the colour table, 0: 2^bits
        for (int bits : {1, 4, 8, 16, 24, 32})
            for (int width : {37, 64})
                QTest::addRow("%d-bit, width %d", bits, width) << bits << width << 0;
        QTest::addRow("8-bit, 16 colours") << 8 << 40 << 16;
    }
    void uncompressedFramesDecodeToTheSourcePixels() {
        QFETCH(int, bits);
        QFETCH(int, width);
        QFETCH(int, colours);
        const TestDib a = makeDib(width, 29, bits, 0, colours),
                      b = makeDib(width, 29, bits, 1, colours);
        const QString path = file("raw.avi");
        QCOMPARE(writeAvi(path, {&a, &b, &b, &a}, AVI_COMPRESS_OPTIONS{}, 7), 0);
        const auto info = probe(path);
        QCOMPARE(info["codec_name"] + " " + info["width"] + "x" + info["height"] + " " +
                     info["r_frame_rate"] + " " + info["nb_read_frames"],
                 QString("rawvideo %1x29 7/1 4").arg(width));
        QCOMPARE(decodeFrames(path, comparePixelFormat(bits), int(a.expected.size())).join(),
                 expectedOf({&a, &b, &b, &a}));
        if (colours != 0)
            QVERIFY(gstreamerFrames(path).startsWith(a.expected + b.expected));
    }

    // Every compressor, 8-bit paletted and 24-bit sources: ffprobe sees the codec, FOURCC,
    // size, rate and every frame; lossless codecs give the source pixels back, lossy ones
    // stay above a PSNR bound. Key frames come every 3 frames as asked; a repeated
    // picture reuses the packet of an intra-only codec (the others encode it again: a
    // copied delta frame would fail the decoding check).
    void compressedFramesDecode_data() {
        QTest::addColumn<QString>("fourcc");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<double>("minPsnr"); // 0: lossless, frames must be identical
        QTest::addColumn<int>("bits");
        const struct {
            const char* fourcc;
            const char* codec;
            double minPsnr;
        } codecs[] = {{"MJPG", "mjpeg", 29},   {"FFV1", "ffv1", 0},      {"HFYU", "huffyuv", 0},
                      {"ULRG", "utvideo", 0},  {"XVID", "mpeg4", 29},    {"H264", "h264", 29},
                      {"cvid", "cinepak", 25}, {"MSVC", "msvideo1", 26}, {"ZMBV", "zmbv", 0}};
        for (const auto& c : codecs)
            for (int bits : {8, 24})
                QTest::addRow("%s, %d-bit", c.fourcc, bits)
                    << c.fourcc << c.codec << c.minPsnr << bits;
        // The other depths reach the codecs exactly too.
        for (int bits : {1, 4, 16, 32})
            QTest::addRow("FFV1, %d-bit", bits) << "FFV1"
                                                << "ffv1" << 0.0 << bits;
    }
    void compressedFramesDecode() {
        QFETCH(QString, fourcc);
        QFETCH(QString, codec);
        QFETCH(double, minPsnr);
        QFETCH(int, bits);
        const bool intraOnly = QString("MJPG FFV1 HFYU ULRG").contains(fourcc);
        AVI_COMPRESS_OPTIONS options = optionsFor(qPrintable(fourcc), AVICOMPRESSF_KEYFRAMES);
        options.dwQuality = 7500;
        options.dwKeyFrameEvery = 3;
        // Cinepak takes two seconds for a 320x240 frame: tiny pictures. Every codec here
        // takes 32 x 24.
        const auto pictures = makeDibs(4, 32, 24, bits);
        const Frames frames = pick(pictures, {0, 1, 1, 2, 3, 3, 3});
        const QString path = file("codec.avi");
        QCOMPARE(writeAvi(path, frames, options, 12), 0);
        const auto info = probe(path);
        QCOMPARE(info["codec_name"] + " " + info["codec_tag_string"] + " " + info["width"] + "x" +
                     info["height"] + " " + info["r_frame_rate"] + " " + info["nb_read_frames"],
                 codec + " " + fourcc + " 32x24 12/1 7");
        const auto decoded =
            decodeFrames(path, comparePixelFormat(bits), int(frames[0]->expected.size()));
        if (minPsnr == 0)
            QCOMPARE(decoded.join(), expectedOf(frames));
        QCOMPARE(decoded.size(), 7);
        for (int i = 0; i < 7; ++i)
            QVERIFY2(
                psnr(decoded[i], frames[i]->expected) >= minPsnr,
                qPrintable(
                    QString("frame %1: %2 dB").arg(i).arg(psnr(decoded[i], frames[i]->expected))));
        const auto packets = readPackets(path);
        QCOMPARE(packets.size(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(packets[i].key, intraOnly || i % 3 == 0);
            if (intraOnly && i > 0 && frames[i] == frames[i - 1])
                QCOMPARE(packets[i].hash, packets[i - 1].hash);
        }
    }

    // Quality and data rate reach the codecs that have them: higher quality, bigger
    // frames; a lower data rate, smaller ones.
    void qualityAndDataRateAreHonoured_data() {
        QTest::addColumn<QString>("fourcc");
        for (const char* c : {"MJPG", "XVID", "H264"})
            QTest::newRow(c) << c;
    }
    void qualityAndDataRateAreHonoured() {
        QFETCH(QString, fourcc);
        const auto pictures = makeDibs(10, 64, 48, 24);
        const auto bytes = [&](std::uint32_t quality, std::uint32_t bytesPerSecond) {
            AVI_COMPRESS_OPTIONS options =
                optionsFor(qPrintable(fourcc), bytesPerSecond ? AVICOMPRESSF_DATARATE : 0);
            options.dwQuality = quality;
            options.dwBytesPerSecond = bytesPerSecond;
            int total = -1;
            if (writeAvi(file("quality.avi"), pick(pictures, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
                         options) == 0)
                for (const Packet& p : readPackets(file("quality.avi")))
                    total += p.size;
            return total;
        };
        QVERIFY(bytes(9500, 0) > bytes(2000, 0) * 3 / 2);
        QVERIFY(bytes(0, 300) * 3 / 2 < bytes(0, 200000));
    }

    // A file that crosses the (lowered) RIFF size several times is read completely, every
    // frame in order, by ffmpeg and by GStreamer; no RIFF passes the limit.
    void openDmlFileDecodesCompletely() {
        const std::uint64_t riffSize = 16 * 1024;
        const WriterLimits before = setWriterLimits({riffSize, 64});
        const auto pictures = makeDibs(40, 32, 24, 24);
        Frames frames;
        for (const TestDib& p : pictures)
            frames.push_back(&p);
        const QString path = file("odml.avi");
        const HRESULT hr = writeAvi(path, frames, AVI_COMPRESS_OPTIONS{});
        setWriterLimits(before);
        QCOMPARE(hr, 0);
        const auto riffs = topLevelChunks(path);
        QVERIFY(riffs.size() >= 4);
        for (const auto& [type, size] : riffs)
            QVERIFY(size + 8 <= riffSize && type == (&type == &riffs[0].first ? "AVI " : "AVIX"));
        QCOMPARE(probe(path)["nb_read_frames"].toInt(), 40);
        QCOMPARE(decodeFrames(path, "bgr24", 32 * 24 * 3).join(), expectedOf(frames));
        QCOMPARE(gstreamerFrames(path), expectedOf(frames));

        // With every super-index slot taken, the next RIFF is refused like a full disk.
        setWriterLimits({riffSize, 3});
        int written = 0;
        QVERIFY(writeAvi(path, frames, AVI_COMPRESS_OPTIONS{}, 10, &written) != 0);
        setWriterLimits(before);
        QCOMPARE(topLevelChunks(path).size(), 3);
        frames.resize(std::size_t(written));
        QCOMPARE(decodeFrames(path, "bgr24", 32 * 24 * 3).join(), expectedOf(frames));
    }

    // With "repeat the previous frame" a repeated picture becomes a zero-length chunk,
    // never the first or the last; the header counts every frame. ffmpeg and GStreamer
    // skip the empty chunks but keep the timing: frames at 0, 3, 5 and 7 of 8, 0.8 s.
    // Converted to a constant rate ffmpeg fills each gap from the frame after it (a a b b
    // c c c c, where a a a b b c c c was meant), which is why the option is off by default.
    void repeatedFramesAsNullFrames_data() {
        QTest::addColumn<QString>("fourcc");
        for (const char* c : {"DIB ", "MJPG", "ZMBV"})
            QTest::newRow(c) << c;
    }
    void repeatedFramesAsNullFrames() {
        QFETCH(QString, fourcc);
        const auto pictures = makeDibs(3, 32, 24, 24);
        const QString path = file("null.avi");
        QCOMPARE(writeAvi(path, pick(pictures, {0, 0, 0, 1, 1, 2, 2, 2}),
                          optionsFor(qPrintable(fourcc), AVICOMPRESSF_NULLFRAMES)),
                 0);
        const auto info = probe(path);
        QCOMPARE(info["nb_frames"] + " " + info["nb_read_frames"] + " " + info["duration"],
                 QString("8 4 0.800000"));
        QList<int> pts;
        for (const Packet& p : readPackets(path))
            pts.append(p.pts);
        QCOMPARE(pts, QList<int>({0, 3, 5, 7}));
        if (fourcc != "ZMBV") // GStreamer has no ZMBV decoder
            QVERIFY(run("gst-discoverer-1.0", {path}).contains("Duration: 0:00:00.800000000"));
        const auto decoded = decodeFrames(path, "bgr24", 32 * 24 * 3, true);
        const Frames expected = pick(pictures, {0, 1, 2, 2});
        QCOMPARE(decoded.size(), 4);
        for (int i = 0; i < 4; ++i)
            QVERIFY(psnr(decoded[i], expected[i]->expected) > (fourcc == "MJPG" ? 29 : 98));
        QCOMPARE(decodeFrames(path, "bgr24", 32 * 24 * 3).size(), 8);
    }

    // A file-size limit (a full disk, as the writer meets it) fails the write of the first
    // frame that no longer fits together with its index; the file left behind is complete
    // and holds exactly the frames before it, the last one real.
    void fullDiskFailsAtTheFrameThatDoesNotFit_data() {
        QTest::addColumn<QString>("fourcc");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("riffSize"); // 0: the default
        QTest::addColumn<bool>("nullFrames");
        QTest::newRow("uncompressed, first RIFF") << "DIB " << 40000 << 0 << false;
        QTest::newRow("uncompressed, OpenDML") << "DIB " << 60000 << 8192 << false;
        QTest::newRow("uncompressed, null frames") << "DIB " << 40000 << 0 << true;
        QTest::newRow("MJPEG") << "MJPG" << 24000 << 0 << false;
        QTest::newRow("ZMBV, null frames") << "ZMBV" << 26000 << 0 << true;
    }
    void fullDiskFailsAtTheFrameThatDoesNotFit() {
        QFETCH(QString, fourcc);
        QFETCH(int, limit);
        QFETCH(int, riffSize);
        QFETCH(bool, nullFrames);
        const auto pictures = makeDibs(60, 32, 24, 24);
        Frames frames;
        for (int i = 0; i < 200; ++i) // with null frames: each picture three times
            frames.push_back(&pictures[std::size_t(nullFrames ? (i / 3) % 60 : i % 60)]);
        const QString path = file("full.avi");
        const WriterLimits before =
            setWriterLimits(riffSize ? WriterLimits{std::uint64_t(riffSize), 64} : WriterLimits{});
        int written = 0;
        HRESULT hr;
        {
            const FileSizeLimit fsize(limit);
            hr = writeAvi(path, frames,
                          optionsFor(qPrintable(fourcc), nullFrames ? AVICOMPRESSF_NULLFRAMES : 0),
                          10, &written);
        }
        setWriterLimits(before);
        QVERIFY(hr != 0);
        QVERIFY(written > 3 && written < int(frames.size()));
        // The frame that failed really had no room left: the file is within about one
        // frame (and its index entries) of the limit.
        const qint64 size = QFileInfo(path).size();
        const auto packets = readPackets(path);
        int largest = 0;
        for (const Packet& p : packets)
            largest = std::max(largest, p.size);
        QVERIFY(size <= limit && size + 2 * (8 + largest) + 224 > limit);
        QCOMPARE(probe(path)["nb_frames"].toInt(), written);
        QCOMPARE(packets.last().pts, written - 1);
        const auto decoded = decodeFrames(path, "bgr24", 32 * 24 * 3, true);
        QCOMPARE(decoded.size(), packets.size());
        for (int i = 0; i < decoded.size(); ++i)
            QVERIFY(psnr(decoded[i], frames[std::size_t(packets[i].pts)]->expected) >
                    (fourcc == "MJPG" ? 29 : 98));
    }

    // The same on a file system that really fills up (a 200 KiB tmpfs; needs the right
    // to mount, as root in CI has).
    void fullFileSystemFailsLikeAFileSizeLimit() {
        QTemporaryDir mountPoint;
        if (QProcess::execute("mount",
                              {"-t", "tmpfs", "-o", "size=200k", "tmpfs", mountPoint.path()}) != 0)
            QSKIP("cannot mount a small file system here");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {mountPoint.path()}); });
        const auto pictures = makeDibs(60, 32, 24, 24);
        Frames frames;
        for (int i = 0; i < 200; ++i)
            frames.push_back(&pictures[std::size_t(i % 60)]);
        const QString path = mountPoint.filePath("full.avi");
        int written = 0;
        QVERIFY(writeAvi(path, frames, AVI_COMPRESS_OPTIONS{}, 10, &written) != 0);
        QVERIFY(written > 60 && written < 90); // 200 KiB hold about 85 frames of 2304 bytes
        QCOMPARE(probe(path)["nb_read_frames"].toInt(), written);
        frames.resize(std::size_t(written));
        QCOMPARE(decodeFrames(path, "bgr24", 32 * 24 * 3).join(), expectedOf(frames));
    }

    // Handles are checked, never trusted: a released or made-up handle is refused with a
    // failure code, so are frames that do not fit the format or position; the layer
    // works again after AVIFileExit.
    void handlesAndArgumentsAreChecked() {
        const TestDib a = makeDib(32, 24, 24, 0), wide = makeDib(36, 24, 24, 0);
        const auto write = [&](PAVISTREAM s, int pos, int size) {
            return AVIStreamWrite(s, pos, 1, a.bits.data(), size, AVIIF_KEYFRAME, nullptr, nullptr);
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
        QVERIFY(AVIStreamSetFormat(s, 0, wide.info.data(), int(wide.info.size())) != 0);
        QCOMPARE(AVIStreamSetFormat(s, 0, a.info.data(), int(a.info.size())), 0);
        QVERIFY(write(f, 0, n) != 0 && write(12345, 0, n) != 0); // not stream handles
        QVERIFY(write(s, 1, n) != 0 && write(s, 0, n - 1) != 0 && write(s, 0, n + 4) != 0);
        QCOMPARE(write(s, 0, n), 0);
        QCOMPARE(AVIStreamRelease(plain), 0);
        QVERIFY(AVIStreamRelease(plain) != 0);
        QCOMPARE(AVIStreamRelease(s), 0);
        QVERIFY(write(s, 1, n) != 0 && AVIFileRelease(s) != 0);
        QCOMPARE(AVIFileRelease(f), 0);
        QVERIFY(AVIFileRelease(f) != 0 && AVIFileCreateStreamA(f, &plain, nullptr) != 0);
        QCOMPARE(probe(path)["nb_read_frames"].toInt(), 1);
        AVIFileExit();

        // A second job after AVIFileExit replaces the file.
        QCOMPARE(writeAvi(path, {&a, &a}, AVI_COMPRESS_OPTIONS{}), 0);
        QCOMPARE(probe(path)["nb_read_frames"].toInt(), 2);
        QVERIFY(AVIFileOpen(&f, qPrintable(file("no/such/folder.avi")), 4097, nullptr) != 0);
        QCOMPARE(f, 0u);
        QCOMPARE(openStream(path, 30, 24, &f, &plain), 0);
        QVERIFY(AVIMakeCompressedStream(&s, plain, &unknown, nullptr) != 0);
        // Cinepak takes sizes in multiples of 4 only: refused at the format, not mid-job.
        QCOMPARE(AVIMakeCompressedStream(&s, plain, &cinepak, nullptr), 0);
        const TestDib odd = makeDib(30, 24, 24, 0);
        QVERIFY(AVIStreamSetFormat(s, 0, odd.info.data(), int(odd.info.size())) != 0);
        QVERIFY(AVIStreamRelease(s) == 0 && AVIStreamRelease(plain) == 0 && AVIFileRelease(f) == 0);
        // A picture whose frames could not be one chunk (4 GiB) is refused, not truncated.
        TestDib huge = makeDib(1, 1, 32, 0);
        const std::int32_t side = 32767;
        std::memcpy(huge.info.data() + 4, &side, 4);
        std::memcpy(huge.info.data() + 8, &side, 4);
        QCOMPARE(openStream(path, side, side, &f, &plain), 0);
        QVERIFY(AVIStreamSetFormat(plain, 0, huge.info.data(), int(huge.info.size())) != 0);
        QVERIFY(AVIStreamRelease(plain) == 0 && AVIFileRelease(f) == 0);
        AVIFileInit();
    }

    // AVISaveOptions answers 0 without a dialog and otherwise what the dialog says,
    // telling it the picture's size and depth. A file released without format or frames
    // (a cancelled dialog) is valid and keeps its stream's size.
    void saveOptionsGoesThroughTheInstalledDialog() {
        const QString path = file("options.avi");
        PAVIFILE f = 0;
        PAVISTREAM s = 0;
        QCOMPARE(openStream(path, 37, 30, &f, &s, 5, 40 * 30), 0); // 8-bit rows of 40 bytes
        AVI_COMPRESS_OPTIONS options;
        AVI_COMPRESS_OPTIONS* list[1] = {&options};
        const SaveOptionsDialog before = setSaveOptionsDialog(nullptr);
        QCOMPARE(AVISaveOptions(nullptr, 3, 1, &s, list), 0);
        SaveOptionsRequest seen;
        setSaveOptionsDialog([&](void*, const SaveOptionsRequest& r, AVI_COMPRESS_OPTIONS& o) {
            seen = r;
            o.fccHandler = mmioStringToFOURCCA("MJPG", 0);
            return 1;
        });
        QCOMPARE(AVISaveOptions(nullptr, 3, 1, &s, list), 1);
        QCOMPARE(options.fccHandler, mmioStringToFOURCCA("MJPG", 0));
        QVERIFY(seen.width == 37 && seen.height == 30 && seen.bitCount == 8 && seen.flags == 3);
        QVERIFY(AVISaveOptions(nullptr, 3, 1, &f, list) != 1);
        QCOMPARE(AVISaveOptionsFree(1, list), 0);
        setSaveOptionsDialog(before);
        QVERIFY(AVIStreamRelease(s) == 0 && AVIFileRelease(f) == 0);
        const auto stream = probe(path);
        QVERIFY(stream["width"] == "37" && stream["nb_read_frames"].toInt() == 0);
    }

    // The writer keeps 8 bytes per frame of the RIFF being written and nothing else that
    // grows with the frame count.
    void memoryGrowsOnlyByTheIndex() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("mallinfo2 does not see the sanitizer's allocator");
#else
        const TestDib a = makeDib(4, 4, 8, 0);
        PAVIFILE f = 0;
        PAVISTREAM s = 0;
        QCOMPARE(openStream(file("memory.avi"), 4, 4, &f, &s), 0);
        QCOMPARE(AVIStreamSetFormat(s, 0, a.info.data(), int(a.info.size())), 0);
        const auto inUse = [] { // big blocks come from mmap, counted apart from the heap
            const struct mallinfo2 m = mallinfo2();
            return double(m.uordblks) + double(m.hblkhd);
        };
        const int warmUp = 1000, frames = 100000;
        double startBytes = 0;
        for (int i = 0; i < frames; ++i) {
            if (i == warmUp)
                startBytes = inUse();
            QCOMPARE(
                AVIStreamWrite(s, i, 1, a.bits.data(), int(a.bits.size()), 16, nullptr, nullptr),
                0);
        }
        const double perFrame = (inUse() - startBytes) / (frames - warmUp);
        qInfo("heap growth: %.2f bytes per frame", perFrame);
        QVERIFY(perFrame <= 16); // 8 per entry, up to twice that while the vector doubles
        QVERIFY(AVIStreamRelease(s) == 0 && AVIFileRelease(f) == 0);
#endif
    }
};

QTEST_GUILESS_MAIN(AviFileTest)
#include "tst_avifile.moc"
