#include "avi_test_support.h"

#include "avi/mavidecs.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
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

    // Uncompressed frames are the DIB bytes as handed over, colour tables included, and
    // decode to exactly the source pixels; odd widths test the row padding.
    void uncompressedFramesDecodeToTheSourcePixels_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("colours"); // entries in the colour table, 0: 2^bits
        for (int bits : {1, 4, 8, 16, 24, 32})
            for (int width : {37, 64})
                QTest::addRow("%d-bit, width %d", bits, width) << bits << width << 0;
        // A short table goes into the file filled up: GStreamer shows black otherwise.
        QTest::addRow("8-bit, 16 colours") << 8 << 40 << 16;
    }
    void uncompressedFramesDecodeToTheSourcePixels() {
        QFETCH(int, bits);
        QFETCH(int, width);
        QFETCH(int, colours);
        const int height = 29;
        const TestDib a = makeDib(width, height, bits, 0, colours),
                      b = makeDib(width, height, bits, 1, colours);
        const QString path = file("raw.avi");
        QCOMPARE(writeAvi(path, {&a, &b, &b, &a}, AVI_COMPRESS_OPTIONS{}, 7), 0);
        const auto info = probe(path);
        QCOMPARE(info["codec_name"], QString("rawvideo"));
        QCOMPARE(info["width"].toInt(), width);
        QCOMPARE(info["height"].toInt(), height);
        QCOMPARE(info["r_frame_rate"], QString("7/1"));
        QCOMPARE(info["nb_read_frames"].toInt(), 4);
        const auto frames = decodeFrames(path, comparePixelFormat(bits), int(a.expected.size()));
        QCOMPARE(frames.size(), 4);
        QVERIFY(frames[0] == a.expected && frames[1] == b.expected && frames[2] == b.expected &&
                frames[3] == a.expected);
        if (colours != 0)
            QVERIFY(gstreamerFrames(path).startsWith(a.expected + b.expected));
    }

    // Every compressor: ffprobe sees the codec, size, rate and every frame; ffmpeg decodes
    // every frame; lossless ones give the source pixels back, lossy ones stay above a PSNR
    // bound. 8-bit paletted and 24-bit sources both.
    void compressedFramesDecode_data() {
        QTest::addColumn<QString>("fourcc");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<double>("minPsnr"); // 0: lossless, frames must be identical
        QTest::addColumn<bool>("intraOnly");
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
                    << c.fourcc << c.codec << c.minPsnr
                    << QByteArray("MJPG FFV1 HFYU ULRG").contains(c.fourcc) << bits;
    }
    void compressedFramesDecode() {
        QFETCH(QString, fourcc);
        QFETCH(QString, codec);
        QFETCH(double, minPsnr);
        QFETCH(bool, intraOnly);
        QFETCH(int, bits);
        AVI_COMPRESS_OPTIONS options;
        options.fccHandler = mmioStringToFOURCCA(fourcc.toLatin1().constData(), 0);
        options.dwQuality = 7500;
        options.dwFlags = AVICOMPRESSF_KEYFRAMES;
        options.dwKeyFrameEvery = 3;
        // Cinepak takes two seconds for a 320x240 frame: keep its pictures tiny.
        const int width = 32, height = 24;
        std::vector<TestDib> pictures;
        for (int i = 0; i < 4; ++i)
            pictures.push_back(makeDib(width, height, bits, i));
        const std::vector<const TestDib*> frames = {&pictures[0], &pictures[1], &pictures[1],
                                                    &pictures[2], &pictures[3], &pictures[3],
                                                    &pictures[3]};
        const QString path = file("codec.avi");
        QCOMPARE(writeAvi(path, frames, options, 12), 0);
        const auto info = probe(path);
        QCOMPARE(info["codec_name"], codec);
        QCOMPARE(info["codec_tag_string"], fourcc);
        QCOMPARE(info["width"].toInt(), width);
        QCOMPARE(info["height"].toInt(), height);
        QCOMPARE(info["r_frame_rate"], QString("12/1"));
        QCOMPARE(info["nb_read_frames"].toInt(), int(frames.size()));
        const auto decoded = decodeFrames(path, "bgr24", width * height * 3);
        QCOMPARE(decoded.size(), qsizetype(frames.size()));
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (minPsnr == 0)
                QVERIFY2(decoded[i] == frames[i]->expected, qPrintable(QString::number(i)));
            else
                QVERIFY2(psnr(decoded[i], frames[i]->expected) >= minPsnr,
                         qPrintable(QString("frame %1: %2 dB")
                                        .arg(i)
                                        .arg(psnr(decoded[i], frames[i]->expected))));
        }
        // Key frames come every 3 frames, as asked. A repeated picture: intra-only codecs
        // store the same packet again (the others encode it again; a copied delta frame
        // would have failed the decoding check above).
        const auto packets = readPackets(path);
        QCOMPARE(packets.size(), qsizetype(frames.size()));
        for (std::size_t i = 0; i < frames.size(); ++i) {
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
        std::vector<TestDib> pictures;
        std::vector<const TestDib*> frames;
        for (int i = 0; i < 10; ++i)
            pictures.push_back(makeDib(64, 48, 24, i));
        for (const TestDib& p : pictures)
            frames.push_back(&p);
        const auto bytes = [&](std::uint32_t quality, std::uint32_t bytesPerSecond) {
            AVI_COMPRESS_OPTIONS options;
            options.fccHandler = mmioStringToFOURCCA(fourcc.toLatin1().constData(), 0);
            options.dwQuality = quality;
            options.dwBytesPerSecond = bytesPerSecond;
            options.dwFlags = bytesPerSecond ? AVICOMPRESSF_DATARATE : 0;
            const QString path = file("quality.avi");
            int total = -1;
            if (writeAvi(path, frames, options) == 0)
                for (const Packet& p : readPackets(path))
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
        std::vector<TestDib> pictures;
        std::vector<const TestDib*> frames;
        for (int i = 0; i < 40; ++i)
            pictures.push_back(makeDib(32, 24, 24, i));
        for (const TestDib& p : pictures)
            frames.push_back(&p);
        const QString path = file("odml.avi");
        const HRESULT hr = writeAvi(path, frames, AVI_COMPRESS_OPTIONS{});
        setWriterLimits(before);
        QCOMPARE(hr, 0);

        const auto riffs = topLevelChunks(path);
        QVERIFY2(riffs.size() >= 4, qPrintable(QString::number(riffs.size())));
        for (const auto& [type, size] : riffs)
            QVERIFY(size + 8 <= riffSize);
        QCOMPARE(riffs.first().first, QString("AVI "));
        QCOMPARE(riffs.last().first, QString("AVIX"));

        QCOMPARE(probe(path)["nb_read_frames"].toInt(), 40);
        const auto decoded = decodeFrames(path, "bgr24", 32 * 24 * 3);
        QCOMPARE(decoded.size(), 40);
        for (int i = 0; i < 40; ++i)
            QVERIFY2(decoded[i] == pictures[i].expected, qPrintable(QString::number(i)));
        const QByteArray gst = gstreamerFrames(path);
        QCOMPARE(gst.size(), 40 * 32 * 24 * 3);
        for (int i = 0; i < 40; ++i)
            QVERIFY(gst.mid(i * 32 * 24 * 3, 32 * 24 * 3) == pictures[i].expected);
    }

    // With "repeat the previous frame" a repeated picture becomes a zero-length chunk,
    // never the first or the last; the header still counts every frame. ffmpeg and
    // GStreamer skip the empty chunks but keep the timing: frames at 0, 3, 5 and 7 of 8
    // and a duration of 0.8 s.
    void repeatedFramesAsNullFrames_data() {
        QTest::addColumn<QString>("fourcc");
        for (const char* c : {"DIB ", "MJPG", "ZMBV"})
            QTest::newRow(c) << c;
    }
    void repeatedFramesAsNullFrames() {
        QFETCH(QString, fourcc);
        AVI_COMPRESS_OPTIONS options;
        options.fccHandler = mmioStringToFOURCCA(fourcc.toLatin1().constData(), 0);
        options.dwFlags = AVICOMPRESSF_NULLFRAMES;
        const TestDib a = makeDib(32, 24, 24, 0), b = makeDib(32, 24, 24, 1),
                      c = makeDib(32, 24, 24, 2);
        const QString path = file("null.avi");
        QCOMPARE(writeAvi(path, {&a, &a, &a, &b, &b, &c, &c, &c}, options), 0);
        const auto info = probe(path);
        QCOMPARE(info["nb_frames"].toInt(), 8);
        QCOMPARE(info["nb_read_frames"].toInt(), 4);
        QCOMPARE(info["duration"].toDouble(), 0.8);
        QCOMPARE(readPackets(path).size(), 4);
        if (fourcc != "ZMBV") // GStreamer has no ZMBV decoder
            QVERIFY(run("gst-discoverer-1.0", {path}).contains("Duration: 0:00:00.800000000"));
        const auto decoded = decodeFrames(path, "bgr24", 32 * 24 * 3, true);
        QCOMPARE(decoded.size(), 4);
        const TestDib* expected[] = {&a, &b, &c, &c};
        for (int i = 0; i < 4; ++i)
            QVERIFY(fourcc == "MJPG" ? psnr(decoded[i], expected[i]->expected) > 29
                                     : decoded[i] == expected[i]->expected);
        // Converted to a constant rate, ffmpeg fills each gap from the frame after it:
        // a a b b c c c c, one slot early, where a a a b b c c c was meant.
        QCOMPARE(decodeFrames(path, "bgr24", 32 * 24 * 3).size(), 8);
    }

    // A file-size limit (a full disk, as the writer meets it) fails the write of the first
    // frame that no longer fits, together with its index; the file left behind is
    // complete and decodes to exactly the frames before it.
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
        AVI_COMPRESS_OPTIONS options;
        options.fccHandler = mmioStringToFOURCCA(fourcc.toLatin1().constData(), 0);
        options.dwFlags = nullFrames ? AVICOMPRESSF_NULLFRAMES : 0;
        std::vector<TestDib> pictures;
        std::vector<const TestDib*> frames;
        for (int i = 0; i < 60; ++i)
            pictures.push_back(makeDib(32, 24, 24, i));
        for (int i = 0; i < 200; ++i) // with null frames: each picture three times
            frames.push_back(&pictures[nullFrames ? (i / 3) % 60 : i % 60]);
        const QString path = file("full.avi");
        const WriterLimits before =
            setWriterLimits(riffSize ? WriterLimits{std::uint64_t(riffSize), 64} : WriterLimits{});
        int written = 0;
        HRESULT hr;
        {
            const FileSizeLimit fsize(limit);
            hr = writeAvi(path, frames, options, 10, &written);
        }
        setWriterLimits(before);
        QVERIFY(hr != 0);
        QVERIFY(written > 3 && written < int(frames.size()));
        const qint64 size = QFileInfo(path).size();
        QVERIFY(size <= limit);
        // The frame that failed really had no room left: the file is within about one
        // frame (and its index entries) of the limit.
        const auto packets = readPackets(path);
        int largest = 0;
        for (const Packet& p : packets)
            largest = std::max(largest, p.size);
        QVERIFY(size + 2 * (8 + largest) + 24 + 200 > limit);
        // Every frame before the failed one is there, the last one real.
        QCOMPARE(probe(path)["nb_frames"].toInt(), written);
        QCOMPARE(packets.last().pts, written - 1);
        const auto decoded = decodeFrames(path, "bgr24", 32 * 24 * 3, true);
        QCOMPARE(decoded.size(), packets.size());
        for (int i = 0; i < decoded.size(); ++i)
            QVERIFY(fourcc == "MJPG" ? psnr(decoded[i], frames[packets[i].pts]->expected) > 29
                                     : decoded[i] == frames[packets[i].pts]->expected);
    }

    // Handles are checked, never trusted: a released or made-up handle is refused with a
    // failure code; a frame that does not fit the format is refused before it is
    // written; the layer works again after AVIFileExit.
    void handlesAndArgumentsAreChecked() {
        const TestDib a = makeDib(32, 24, 24, 0);
        const QString path = file("handles.avi");
        PAVIFILE f = 0;
        PAVISTREAM plain = 0, s = 0;
        QCOMPARE(AVIFileOpen(&f, path.toLocal8Bit().constData(), 4097, nullptr), 0);
        AVI_STREAM_INFO info;
        info.fccType = mmioStringToFOURCCA("vids", 0);
        info.dwScale = 1;
        info.dwRate = 5;
        SetRect(&info.rcFrame, 0, 0, 32, 24);
        QCOMPARE(AVIFileCreateStreamA(f, &plain, &info), 0);
        QVERIFY(AVIFileCreateStreamA(f, &s, &info) != 0); // one stream per file
        AVI_COMPRESS_OPTIONS options;
        QCOMPARE(AVIMakeCompressedStream(&s, plain, &options, nullptr), 0);
        // Writing before the format, a format of another size, then the real one.
        QVERIFY(AVIStreamWrite(s, 0, 1, a.bits.data(), int(a.bits.size()), 16, nullptr, nullptr) !=
                0);
        const TestDib other = makeDib(33, 24, 24, 0);
        QVERIFY(AVIStreamSetFormat(s, 0, other.info.data(), int(other.info.size())) != 0);
        QCOMPARE(AVIStreamSetFormat(s, 0, a.info.data(), int(a.info.size())), 0);
        const struct {
            PAVISTREAM stream;
            int pos;
            int size;
        } refused[] = {{f, 0, int(a.bits.size())},      // a file handle as a stream
                       {s, 1, int(a.bits.size())},      // a gap
                       {s, 0, int(a.bits.size()) - 1},  // short
                       {s, 0, int(a.bits.size()) + 4},  // long
                       {12345, 0, int(a.bits.size())}}; // never handed out
        for (const auto& r : refused)
            QVERIFY(AVIStreamWrite(r.stream, r.pos, 1, a.bits.data(), r.size, 16, nullptr,
                                   nullptr) != 0);
        QCOMPARE(AVIStreamWrite(s, 0, 1, a.bits.data(), int(a.bits.size()), 16, nullptr, nullptr),
                 0);
        QCOMPARE(AVIStreamRelease(plain), 0);
        QVERIFY(AVIStreamRelease(plain) != 0);
        QCOMPARE(AVIStreamRelease(s), 0);
        QVERIFY(AVIStreamWrite(s, 1, 1, a.bits.data(), int(a.bits.size()), 16, nullptr, nullptr) !=
                0);
        QVERIFY(AVIFileRelease(s) != 0);
        QCOMPARE(AVIFileRelease(f), 0);
        QVERIFY(AVIFileRelease(f) != 0);
        QVERIFY(AVIFileCreateStreamA(f, &plain, &info) != 0);
        QCOMPARE(probe(path)["nb_read_frames"].toInt(), 1);
        AVIFileExit();

        // A second job after AVIFileExit replaces the file; no frames is a valid file too.
        QCOMPARE(writeAvi(path, {&a, &a}, AVI_COMPRESS_OPTIONS{}), 0);
        QCOMPARE(probe(path)["nb_read_frames"].toInt(), 2);
        QCOMPARE(AVIFileOpen(&f, path.toLocal8Bit().constData(), 4097, nullptr), 0);
        QCOMPARE(AVIFileRelease(f), 0);
        QCOMPARE(probe(path)["nb_read_frames"].toInt(), 0);

        QVERIFY(AVIFileOpen(&f, qPrintable(file("no/such/folder.avi")), 4097, nullptr) != 0);
        QCOMPARE(f, 0u);
        options.fccHandler = mmioStringToFOURCCA("XXXX", 0);
        QCOMPARE(AVIFileOpen(&f, path.toLocal8Bit().constData(), 4097, nullptr), 0);
        QCOMPARE(AVIFileCreateStreamA(f, &plain, &info), 0);
        QVERIFY(AVIMakeCompressedStream(&s, plain, &options, nullptr) != 0);
        // Cinepak takes sizes in multiples of 4 only: refused at the format, not mid-job.
        options.fccHandler = mmioStringToFOURCCA("cvid", 0);
        QCOMPARE(AVIMakeCompressedStream(&s, plain, &options, nullptr), 0);
        const TestDib odd = makeDib(30, 24, 24, 0);
        QVERIFY(AVIStreamSetFormat(s, 0, odd.info.data(), int(odd.info.size())) != 0);
        QCOMPARE(AVIStreamRelease(s), 0);
        QCOMPARE(AVIStreamRelease(plain), 0);
        QCOMPARE(AVIFileRelease(f), 0);
        AVIFileInit();
    }

    // AVISaveOptions answers 0 without a dialog, and otherwise what the dialog says,
    // telling it the picture's size and depth.
    void saveOptionsGoesThroughTheInstalledDialog() {
        const QString path = file("options.avi");
        PAVIFILE f = 0;
        PAVISTREAM s = 0;
        QCOMPARE(AVIFileOpen(&f, path.toLocal8Bit().constData(), 4097, nullptr), 0);
        AVI_STREAM_INFO info;
        info.fccType = mmioStringToFOURCCA("vids", 0);
        info.dwScale = 1;
        info.dwRate = 5;
        info.dwSuggestedBufferSize = 40 * 30; // 8-bit rows of 40 bytes
        SetRect(&info.rcFrame, 0, 0, 37, 30);
        QCOMPARE(AVIFileCreateStreamA(f, &s, &info), 0);
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
        QCOMPARE(seen.width, 37);
        QCOMPARE(seen.height, 30);
        QCOMPARE(seen.bitCount, 8);
        QCOMPARE(seen.flags, 3u);
        QVERIFY(AVISaveOptions(nullptr, 3, 1, &f, list) != 1);
        QCOMPARE(AVISaveOptionsFree(1, list), 0);
        setSaveOptionsDialog(before);
        QCOMPARE(AVIStreamRelease(s), 0);
        QCOMPARE(AVIFileRelease(f), 0);
        // Released without a format or frames, as after a cancelled dialog: a valid file
        // whose stream still has the picture's size.
        const auto stream = probe(path);
        QCOMPARE(stream["width"].toInt(), 37);
        QCOMPARE(stream["nb_read_frames"].toInt(), 0);
    }

    // The writer keeps 8 bytes per frame of the RIFF being written and nothing else that
    // grows with the frame count.
    void memoryGrowsOnlyByTheIndex() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("mallinfo2 does not see the sanitizer's allocator");
#else
        const TestDib a = makeDib(4, 4, 8, 0);
        const QString path = file("memory.avi");
        PAVIFILE f = 0;
        PAVISTREAM s = 0;
        QCOMPARE(AVIFileOpen(&f, path.toLocal8Bit().constData(), 4097, nullptr), 0);
        AVI_STREAM_INFO info;
        info.fccType = mmioStringToFOURCCA("vids", 0);
        info.dwScale = 1;
        info.dwRate = 30;
        SetRect(&info.rcFrame, 0, 0, 4, 4);
        QCOMPARE(AVIFileCreateStreamA(f, &s, &info), 0);
        QCOMPARE(AVIStreamSetFormat(s, 0, a.info.data(), int(a.info.size())), 0);
        const int warmUp = 1000, frames = 100000;
        // Big blocks come from mmap and are counted apart from the heap.
        const auto inUse = [] {
            const struct mallinfo2 m = mallinfo2();
            return double(m.uordblks) + double(m.hblkhd);
        };
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
        QCOMPARE(AVIStreamRelease(s), 0);
        QCOMPARE(AVIFileRelease(f), 0);
#endif
    }
};

QTEST_GUILESS_MAIN(AviFileTest)
#include "tst_avifile.moc"
