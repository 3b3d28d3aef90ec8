#include "picture/picture_conversion.h"
#include "picture/picture_error.h"
#include "platform/instance_folder.h"
#include "sample_files.h"
#include "scripted_platform.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using picture::cDIB;
using picture::PictureError;
using namespace samples;

namespace {

// The colour of pixel (x, y) of a bottom-up 24-bit DIB.
QColor dibPixel(const cDIB& dib, QPoint p) {
    const int stride = (dib.Width() * 3 + 3) & ~3;
    const std::uint8_t* px = dib.PointerToBits() + (dib.Height() - 1 - p.y()) * stride + 3 * p.x();
    return QColor(px[2], px[1], px[0]);
}

bool near(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
           qAbs(a.blue() - b.blue()) < 40;
}

} // namespace

class ConversionTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }
    QString saved(const QImage& image, const QString& name, const char* format) {
        QImageWriter writer(path(name), format);
        if (!writer.write(image))
            qFatal("cannot save %s", qPrintable(name));
        return keepAsSeed(path(name));
    }

private slots:
    // Every kind of input comes out as a 24-bit Bitmap of the picture's own size, whatever
    // the file's name says; a GIF gives its first frame and a JPEG's orientation tag is applied.
    void convertsEveryKindToTwentyFourBits_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("red"); // a point that must come out red, the other half blue
        QTest::addColumn<QPoint>("blue");
        const QImage picture = twoColours(64, 48);
        const QSize size(64, 48);
        const QPoint left(8, 24), right(56, 24);
        QTest::newRow("24-bit BMP") << saved(picture, "rgb.bmp", "BMP") << size << left << right;
        QTest::newRow("8-bit BMP")
            << saved(picture.convertToFormat(QImage::Format_Indexed8), "indexed.bmp", "BMP") << size
            << left << right;
        QTest::newRow("JPEG") << saved(picture, "photo.jpg", "JPEG") << size << left << right;
        QTest::newRow("GIF") << writeGif(path("still.gif"), {picture}) << size << left << right;
        QTest::newRow("animated GIF")
            << writeGif(path("anim.gif"), {picture, twoColours(64, 48, Qt::green, Qt::green)})
            << size << left << right;
        QTest::newRow("JPEG named .bmp")
            << saved(picture, "photo.bmp", "JPEG") << size << left << right;
        QTest::newRow("GIF named .jpg")
            << writeGif(path("still.jpg"), {picture}) << size << left << right;
        QTest::newRow("odd width, padded rows") << saved(twoColours(63, 17), "odd.bmp", "BMP")
                                                << QSize(63, 17) << QPoint(2, 8) << QPoint(60, 8);
        // An EXIF block whose only entry is orientation 6: turn 90 degrees clockwise to show.
        QByteArray turned = readFile(saved(picture, "turned.jpg", "JPEG"));
        turned.insert(2, QByteArray::fromHex("ffe10022457869660000"
                                             "49492a0008000000"
                                             "0100120103000100000006000000"
                                             "00000000"));
        writeFile(path("turned.jpg"), turned);
        QTest::newRow("JPEG turned by its tag")
            << path("turned.jpg") << QSize(48, 64) << QPoint(24, 8) << QPoint(24, 56);
        QImage grey(64, 48, QImage::Format_Grayscale8);
        grey.fill(Qt::white);
        QTest::newRow("grey JPEG")
            << saved(grey, "grey.jpg", "JPEG") << size << QPoint() << QPoint();
    }
    void convertsEveryKindToTwentyFourBits() {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(QPoint, red);
        QFETCH(QPoint, blue);
        ScriptedPlatform platform;
        cDIB dib;
        QImage holder;
        try {
            QVERIFY(picture::LoadPictureAsDib(file, dib, holder));
        } catch (const PictureError& e) {
            QFAIL(e.what());
        }
        QCOMPARE(holder.size(), size);
        QCOMPARE(QSize(dib.Width(), dib.Height()), size);
        QCOMPARE(dib.BitCount(), 24);
        QCOMPARE(dib.SizeBitmapInfo(), 40);
        const int stride = (size.width() * 3 + 3) & ~3;
        QCOMPARE(dib.SizeImage(), stride * size.height());
        // Row padding is part of every frame: it must be zeros, not whatever memory held.
        for (int y = 0; y < size.height(); ++y)
            for (int x = size.width() * 3; x < stride; ++x)
                QCOMPARE(dib.PointerToBits()[y * stride + x], std::uint8_t(0));
        // Qt's own reader must see the same pixels in the temporary Bitmap.
        const QImage temp(picture::TempBitmapPath());
        QCOMPARE(temp.convertToFormat(QImage::Format_RGB32),
                 holder.convertToFormat(QImage::Format_RGB32));
        if (red.isNull()) {
            QVERIFY(near(dibPixel(dib, {0, 0}), Qt::white));
            return;
        }
        QVERIFY2(near(dibPixel(dib, red), Qt::red), qPrintable(dibPixel(dib, red).name()));
        QVERIFY2(near(dibPixel(dib, blue), Qt::blue), qPrintable(dibPixel(dib, blue).name()));
        QCOMPARE(temp.pixelColor(red), dibPixel(dib, red));
        QCOMPARE(temp.pixelColor(blue), dibPixel(dib, blue));
    }

    // What the loader refuses: the holder keeps its picture, the temporary Bitmap and the
    // object stay as they were, and the conversion's failure goes to the caller.
    void refusesWhatIsNoPicture_data() {
        QTest::addColumn<QString>("file");
        const QImage picture = twoColours(16, 16);
        QTest::newRow("PNG named .jpg") << saved(picture, "drawing.jpg", "PNG");
        QTest::newRow("text named .gif") << writeFile(path("notes.gif"), "GIF? no, text");
        QTest::newRow("empty") << writeFile(path("empty.jpg"), {});
        QTest::newRow("missing") << path("missing.jpg");
        const QString deleted = saved(picture, "deleted.jpg", "JPEG");
        QImage probe;
        QVERIFY(picture::IsLoadablePicture(deleted, probe));
        QFile::remove(deleted);
        QTest::newRow("deleted after it loaded") << deleted;
        QTest::newRow("folder") << dir.path();
        QVERIFY(::mkfifo(QFile::encodeName(path("pipe.jpg")), 0600) == 0);
        QTest::newRow("FIFO, which nobody writes") << path("pipe.jpg");
        QByteArray huge = craftBmp(54, 12, 12);
        huge.replace(18, 8, QByteArray::fromHex("60ea000060ea0000")); // 60000 x 60000
        QTest::newRow("BMP claiming 60000 x 60000") << writeFile(path("huge.bmp"), huge);
        QImage grey(16, 16, QImage::Format_Grayscale8);
        grey.fill(Qt::gray);
        QByteArray jpeg = readFile(saved(grey, "small.jpg", "JPEG"));
        const qsizetype sof = jpeg.indexOf("\xFF\xC0");
        jpeg.replace(sof + 5, 4, QByteArray::fromHex("4e204e20")); // 20000 x 20000
        QTest::newRow("grey JPEG claiming 20000 x 20000") << writeFile(path("huge.jpg"), jpeg);
        QByteArray gif = readFile(writeGif(path("small.gif"), {picture}));
        gif.replace(6, 4, QByteArray::fromHex("ffffffff"));
        QTest::newRow("GIF claiming 65535 x 65535") << writeFile(path("huge.gif"), gif);
    }
    void refusesWhatIsNoPicture() {
        QFETCH(QString, file);
        ScriptedPlatform platform;
        const QImage before = twoColours(5, 5, Qt::green, Qt::green);
        QImage holder = before;
        QVERIFY(!picture::IsLoadablePicture(file, holder));
        QCOMPARE(holder, before);
        writeFile(picture::TempBitmapPath(), "stale");
        cDIB dib;
        try {
            picture::LoadPictureAsDib(file, dib, holder);
            QFAIL("the conversion went on");
        } catch (const PictureError& e) {
            QCOMPARE(e.kind(), PictureError::Kind::NotLoadable);
        }
        QCOMPARE(holder, before);
        QCOMPARE(readFile(picture::TempBitmapPath()), QByteArray("stale"));
        QCOMPARE(dib.SizeImage(), 0);
    }

    void secondConversionLeavesOnlyItself() {
        ScriptedPlatform platform;
        cDIB dib;
        QImage holder;
        QVERIFY(
            picture::LoadPictureAsDib(saved(twoColours(64, 48), "big.bmp", "BMP"), dib, holder));
        const QString small = saved(twoColours(8, 4, Qt::blue, Qt::blue), "small.bmp", "BMP");
        QVERIFY(picture::LoadPictureAsDib(small, dib, holder));
        const QByteArray temp = readFile(picture::TempBitmapPath());
        QCOMPARE(temp.size(), 54 + 8 * 3 * 4);
        QCOMPARE(QImage::fromData(temp), QImage(small).convertToFormat(QImage::Format_RGB32));
    }

    // A temporary Bitmap that cannot be written is an error, not a read of a stale file.
    void unwritableTemporaryBitmapIsAnError() {
        ScriptedPlatform platform;
        QDir(platform.windowsDir + "/TEMP").removeRecursively();
        cDIB dib;
        QImage holder;
        try {
            picture::LoadPictureAsDib(saved(twoColours(4, 4), "any.bmp", "BMP"), dib, holder);
            QFAIL("the conversion went on");
        } catch (const PictureError& e) {
            QCOMPARE(e.kind(), PictureError::Kind::WriteFailed);
        }
        QCOMPARE(dib.SizeImage(), 0);
    }

    // Each running copy gets its own folder from the platform, and the temporary Bitmap
    // lives in it: two copies converting at once never touch each other's picture.
    void copiesNeverShareTheirTemporaryBitmap() {
        ScriptedPlatform platform;
        QTemporaryDir base;
        const auto first = platform::InstanceFolder::claim(base.filePath("picreel"));
        const auto second = platform::InstanceFolder::claim(base.filePath("picreel"));
        QVERIFY(first && second && first->path() != second->path());
        cDIB dib;
        QImage holder;
        platform.windowsDir = first->path();
        QVERIFY(picture::LoadPictureAsDib(saved(twoColours(4, 4, Qt::red, Qt::red), "r.bmp", "BMP"),
                                          dib, holder));
        const QString firstTemp = picture::TempBitmapPath();
        platform.windowsDir = second->path();
        QVERIFY(picture::LoadPictureAsDib(
            saved(twoColours(4, 4, Qt::blue, Qt::blue), "b.bmp", "BMP"), dib, holder));
        QVERIFY(firstTemp.startsWith(first->path() + "/TEMP/"));
        QVERIFY(picture::TempBitmapPath().startsWith(second->path() + "/TEMP/"));
        QCOMPARE(QImage(firstTemp).pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(QImage(picture::TempBitmapPath()).pixelColor(0, 0), QColor(Qt::blue));
    }

    // Qt alone refuses anything above 128 MB decoded.
    void hundredMegapixelPictureLoads() {
        QImage big(10000, 10000, QImage::Format_RGB32);
        big.fill(Qt::darkCyan);
        const QString file = saved(big, "big.jpg", "JPEG");
        big = QImage();
        QImage holder;
        QVERIFY(picture::IsLoadablePicture(file, holder));
        QCOMPARE(holder.size(), QSize(10000, 10000));
    }
};

int runConversionTests(int argc, char** argv) {
    ConversionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "conversion_test.moc"
