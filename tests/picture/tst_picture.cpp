#include "allocation_tracker.h"
#include "picture/bitmap_saver.h"
#include "picture/large_buffers.h"
#include "picture/picture_conversion.h"
#include "picture/picture_error.h"
#include "picture/picture_loader.h"
#include "scripted_platform.h"
#include "test_io.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <algorithm>

#include <sys/stat.h>

using picture::cDIB;
using picture::PictureError;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// A Bitmap file of a top-down 4 x 2 picture with the given header values and distinct ones in
// every other field, filler up to offBits (at most 4 KiB of it), then pixelBytes of pattern.
QByteArray craftBmp(qint32 offBits, qint32 sizeImage, qint32 pixelBytes) {
    const qint32 filler = qBound(0, offBits - 54, 4096);
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(0x4d42) << 54 + filler + pixelBytes << 0x00010002 << offBits << 40 << 4 << -2
      << qint16(1) << qint16(24) << 0 << sizeImage << 2835 << 3780 << 7 << 5;
    for (qint32 i = 0; i < filler + pixelBytes; ++i)
        s << qint8(i * 7 + 3);
    return out;
}

// A picture, left half red and right half blue, as ImageMagick writes it.
QByteArray drawn(const char* format, int width, int height) {
    const char* args = "-size %dx%d xc:blue -fill red -draw \"rectangle 0,0 %d,%d\" %s:-";
    return run("convert", QProcess::splitCommand(QString::asprintf(args, width, height,
                                                                   width / 2 - 1, height, format)));
}

// Every value the object reports, in file order, so "nothing changed" is one comparison.
QList<qint64> state(const cDIB& d) {
    return {d.FileType(),    d.SizeFileHeader(), d.BitOffset(),     d.SizeInfoHeader(),
            d.Width(),       d.Height(),         d.Planes(),        d.BitCount(),
            d.Compression(), d.SizeImage(),      d.XPPM(),          d.YPPM(),
            d.ClrUsed(),     d.ClrImportant(),   d.SizeBitmapInfo()};
}
QByteArray bits(const cDIB& d) {
    return QByteArray(reinterpret_cast<const char*>(d.PointerToBits()), d.SizeImage());
}
// How a file is refused: with a box for the user, or with an error for the caller.
enum class Refused { WithABox, WithAnError };
// What a refused file leaves of the object's file header.
enum class FileHeader { Unchanged, FromTheFile };
using Boxes = QList<platform::MsgBoxRequest>;

} // namespace

class PictureTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ScriptedPlatform platform; // fails the test on any box not expected
    QString previous;          // a valid file loaded first, to see what a load replaces

    QString path(const QString& name) const { return dir.filePath(name); }
    // Writes the file; with PICREEL_SEED_DIR set, a small one is kept there too: the fuzz seeds.
    QString file(const QString& name, const QByteArray& bytes) {
        static int seeds = 0;
        writeFile(path(name), bytes);
        if (qEnvironmentVariableIsSet("PICREEL_SEED_DIR") && bytes.size() <= 64 * 1024)
            QFile::copy(path(name), qEnvironmentVariable("PICREEL_SEED_DIR") + "/seed-" +
                                        QString::number(++seeds));
        return path(name);
    }

private slots:
    void initTestCase() {
        previous = file("previous.bmp", craftBmp(58, 4096, 4096));
        cDIB dib;
        allocation::largest = 0;
        QVERIFY(dib.CreateFromFile(previous));
        // The tracker sees the pixels' buffer, so a refusal's bound below means something.
        QCOMPARE_GE(allocation::largest.load(), std::size_t(4096));
    }

    // A damaged or lying Bitmap is refused with a box for the user, or (no box) with an error
    // for the caller. The picture stays, the file is closed, and nothing larger than the file
    // is allocated.
    void refusedFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Refused>("refused");
        QTest::addColumn<Boxes>("boxes");
        QTest::addColumn<FileHeader>("fileHeader");
        // A file that is no Bitmap leaves its first bytes as the file header.
        const QString jpeg = file("photo.bmp", drawn("JPEG", 8, 8));
        const QString prompt = "File is not a supported bitmap format:\r\n" + jpeg;
        QTest::newRow("JPEG named .bmp")
            << jpeg << Refused::WithABox
            << Boxes{{prompt, MsgButtons::OK, MsgIcon::Information, "picreel"}}
            << FileHeader::FromTheFile;
        const auto bad = [&](const char* name, const QByteArray& bytes) {
            QTest::newRow(name) << file(QString(name) + ".bmp", bytes) << Refused::WithAnError
                                << Boxes() << FileHeader::Unchanged;
        };
        bad("negative image size", craftBmp(54, -16, 16));
        bad("offset 53", craftBmp(53, 16, 16));
        bad("54 bytes claiming 2 GiB", craftBmp(54, INT32_MAX, 0));
        bad("offset and size overflow", craftBmp(INT32_MAX, INT32_MAX, 16));
    }
    void refusedFile() {
        QFETCH(QString, file);
        QFETCH(Refused, refused);
        QFETCH(Boxes, boxes);
        QFETCH(FileHeader, fileHeader);
        cDIB dib;
        QVERIFY(dib.CreateFromFile(previous));
        const QList<qint64> before = state(dib);
        const QByteArray pixels = bits(dib);
        const qsizetype files = QDir("/proc/self/fd").count();
        allocation::largest = 0;
        if (refused == Refused::WithAnError) {
            QVERIFY_THROWS_EXCEPTION(PictureError, dib.CreateFromFile(file));
        } else {
            platform.expectOkBoxes(1);
            QVERIFY(!dib.CreateFromFile(file));
        }
        QCOMPARE(platform.takeBoxes(), boxes);
        QCOMPARE_LE(allocation::largest.load(), std::size_t(QFileInfo(file).size()) + 1024);
        QCOMPARE(QDir("/proc/self/fd").count(), files);
        QCOMPARE(bits(dib), pixels);
        const int fileHeaderValues = 3;
        if (fileHeader == FileHeader::Unchanged)
            QCOMPARE(state(dib).first(fileHeaderValues), before.first(fileHeaderValues));
        QCOMPARE(state(dib).mid(fileHeaderValues), before.mid(fileHeaderValues));
    }

    // Any picture, whatever its name says, through Qt's readers or libjpeg, comes out as a 24-bit
    // Bitmap of its own size, turned as a JPEG's tag says and rows padded with zeros; the
    // temporary Bitmap holds the latest only.
    void convert_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("GIF") << file("still.gif", drawn("GIF", 64, 48)) << QSize(64, 48);
        // A JPEG named .bmp whose EXIF block's only entry is orientation 6: turned 90 degrees
        // to be shown. Its rows, 17 pixels, are padded, and its Bitmap is shorter than the last.
        const QByteArray exif = QByteArray::fromHex(
            "ffe1002245786966000049492a0008000000010012010300010000000600000000000000");
        QTest::newRow("JPEG named .bmp, turned by its tag")
            << file("turned.bmp", drawn("JPEG", 63, 17).insert(2, exif)) << QSize(17, 63);
        // Qt alone refuses anything above 128 MB decoded: a JPEG claiming 10000 x 10000.
        QByteArray big = drawn("JPEG", 16, 16);
        big.replace(big.indexOf("\xFF\xC0") + 5, 4, QByteArray::fromHex("27102710"));
        QImage probe;
        QVERIFY(picture::IsLoadablePicture(file("big.jpg", big), probe));
        QCOMPARE(probe.size(), QSize(10000, 10000));
    }
    void convert() {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        const QString temp = picture::TempBitmapPath();
        QVERIFY2(temp.startsWith(platform.windowsDir + "/TEMP/"), qPrintable(temp));
        cDIB dib;
        QImage holder;
        QVERIFY(picture::LoadPictureAsDib(file, dib, holder));
        QCOMPARE(holder.size(), size);
        QCOMPARE_GT(holder.pixelColor(0, 0).red(), 200); // the left edge is still on the left
        QCOMPARE(dib.Width(), size.width());
        QCOMPARE(dib.Height(), size.height());
        QCOMPARE(dib.BitCount(), 24);
        QCOMPARE(dib.SizeBitmapInfo(), 40);
        const int row = size.width() * 3, stride = (row + 3) & ~3;
        const QByteArray bmp = readFile(temp);
        QCOMPARE(bmp.size(), 54 + stride * size.height());
        QCOMPARE(QImage::fromData(bmp).convertToFormat(QImage::Format_RGB32),
                 holder.convertToFormat(QImage::Format_RGB32));
        for (int y = 0; y < size.height(); ++y)
            QCOMPARE(bmp.mid(54 + y * stride + row, stride - row), QByteArray(stride - row, 0));
    }

    // A large 32-bit picture becomes its Bitmap in its own memory, others a band of rows at a
    // time: the Bitmap is the whole picture's all the same, bottom row first.
    void largePictureConvertsWhole_data() {
        QTest::addColumn<QString>("file");
        const QStringList size{"-size", "3003x2803"}; // over 32 MiB at 4 bytes a pixel
        QTest::newRow("24-bit Bitmap") << file(
            "gradient.bmp", run("convert", size + QStringList{"gradient:red-blue", "bmp3:-"}));
        QTest::newRow("GIF with a transparent colour") << file(
            "clear.gif", run("convert", size + QStringList{"xc:blue", "-fill", "red", "-draw",
                                                           "rectangle 0,0 1500,2803",
                                                           "-transparent", "red", "gif:-"}));
        QTest::newRow("paletted Bitmap") << file("two.bmp", drawn("BMP3", 3003, 2803));
    }
    void largePictureConvertsWhole() {
        QFETCH(QString, file);
        const QImage decoded = QImage(file).convertToFormat(QImage::Format_RGB32);
        const picture::BitmapBytes bitmap = picture::LoadPictureAsBitmap(file);
        const QByteArray bytes(reinterpret_cast<const char*>(bitmap.data.get()),
                               qsizetype(bitmap.size));
        QCOMPARE(bytes.size(), 54 + 9012 * 2803);
        QCOMPARE(QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32), decoded);
    }

    // A file that does not load leaves the holder, the temporary Bitmap and a new object as
    // they were.
    void refusedConversion_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("PNG named .jpg") << file("drawing.jpg", drawn("PNG", 8, 8));
        QVERIFY(::mkfifo(QFile::encodeName(path("pipe.jpg")), 0600) == 0);
        QTest::newRow("FIFO") << path("pipe.jpg");
    }
    void refusedConversion() {
        QFETCH(QString, file);
        const QString temp = picture::TempBitmapPath();
        cDIB dib;
        QImage before(8, 6, QImage::Format_RGB32);
        before.fill(Qt::green);
        QImage holder = before;
        QCOMPARE(picture::IsLoadablePicture(file, holder), false);
        writeFile(temp, "stale");
        QVERIFY_THROWS_EXCEPTION(PictureError, picture::LoadPictureAsDib(file, dib, holder));
        QCOMPARE(holder, before);
        QCOMPARE(readFile(temp), QByteArray("stale"));
        QCOMPARE(state(dib), QList<qint64>(15, 0));
    }

    // Without the TEMP folder, or without any private folder, converting is an error: never a
    // load of whatever a file of the temporary Bitmap's name holds, never a file in the root.
    void temporaryBitmapWithoutItsFolderIsAnError() {
        ScriptedPlatform desktop; // its own folders, the test's own until it ends
        const QString picture = file("source.bmp", drawn("BMP3", 8, 8));
        cDIB dib;
        QImage holder;
        QVERIFY(QDir(desktop.windowsDir + "/TEMP").removeRecursively());
        QVERIFY_THROWS_EXCEPTION(PictureError, picture::LoadPictureAsDib(picture, dib, holder));
        desktop.windowsDir.clear();
        QVERIFY_THROWS_EXCEPTION(PictureError, picture::LoadPictureAsDib(picture, dib, holder));
        QCOMPARE(state(dib), QList<qint64>(15, 0));
    }

    // A buffer let go is kept for the next of its size, so a run maps each frame's memory
    // once; four at most, so that what a run holds stays what it uses.
    void largeBuffersKeepFourSpares() {
        namespace large = picture::large_buffers;
        const std::size_t size = 3 * 1024 * 1024;
        std::uint8_t* taken[6];
        for (std::uint8_t*& bytes : taken)
            bytes = large::take(size);
        for (std::uint8_t* bytes : taken)
            large::giveBack(bytes, size);
        QCOMPARE(large::spareBytes(), 4 * size);
        std::uint8_t* const again = large::take(size);
        QVERIFY(std::find(taken + 2, taken + 6, again) != taken + 6);
        QCOMPARE(large::spareBytes(), 3 * size);
        large::giveBack(again, size);
    }
};

QTEST_MAIN(PictureTest)
#include "tst_picture.moc"
