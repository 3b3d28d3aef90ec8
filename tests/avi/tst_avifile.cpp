#include "avi_test_support.h"

#include "avi/mavidecs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        for (int bits : {1, 4, 8, 16, 24, 32})
            for (int width : {37, 64})
                QTest::addRow("%d-bit, width %d", bits, width) << bits << width;
    }
    void uncompressedFramesDecodeToTheSourcePixels() {
        QFETCH(int, bits);
        QFETCH(int, width);
        const int height = 29;
        const TestDib a = makeDib(width, height, bits, 0), b = makeDib(width, height, bits, 1);
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
};

QTEST_GUILESS_MAIN(AviFileTest)
#include "tst_avifile.moc"
