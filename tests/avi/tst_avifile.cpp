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
};

QTEST_GUILESS_MAIN(AviFileTest)
#include "tst_avifile.moc"
