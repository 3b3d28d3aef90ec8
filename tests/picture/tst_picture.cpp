#include "allocation_tracker.h"
#include "picture/bitmap_saver.h"
#include "picture/picture_conversion.h"
#include "picture/picture_error.h"
#include "scripted_platform.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QtEndian>

#include <cstring>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using picture::cDIB;
using picture::PictureError;
using platform::MsgIcon;

namespace {

// A Bitmap file of a top-down 4 x 2 picture with the given header values and distinct ones in
// every other field, filler up to offBits (at most 4 KiB of it), then pixelBytes of pattern.
QByteArray craftBmp(qint32 offBits, qint32 sizeImage, qint32 pixelBytes, qint32 biSize = 40,
                    qint16 bitCount = 24) {
    const qint32 filler = qBound(0, offBits - 54, 4096);
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(0x4d42) << 54 + filler + pixelBytes << 0x00010002 << offBits << biSize << 4 << -2
      << qint16(1) << bitCount << 0 << sizeImage << 2835 << 3780 << 7 << 5;
    for (qint32 i = 0; i < filler + pixelBytes; ++i)
        s << qint8(i * 7 + 3);
    return out;
}

// A picture, left half red and right half blue, as ImageMagick writes it.
QByteArray drawn(const char* format, int width, int height, const char* options = "") {
    const char* args = "-size %dx%d xc:blue -fill red -draw \"rectangle 0,0 %d,%d\" %s %s:-";
    QProcess convert;
    convert.start("convert", QProcess::splitCommand(QString::asprintf(
                                 args, width, height, width / 2 - 1, height, options, format)));
    if (!convert.waitForFinished() || convert.exitCode() != 0)
        qFatal("ImageMagick's convert failed");
    return convert.readAllStandardOutput();
}

// With PICREEL_SEED_DIR set, each small file written is kept there too: the fuzz seeds.
QString writeFile(const QString& path, const QByteArray& bytes) {
    static int seeds = 0;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    if (qEnvironmentVariableIsSet("PICREEL_SEED_DIR") && bytes.size() <= 64 * 1024)
        file.copy(qEnvironmentVariable("PICREEL_SEED_DIR") + "/seed-" + QString::number(++seeds));
    return path;
}
QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    QString file(const QString& name, const QByteArray& bytes) {
        return writeFile(path(name), bytes);
    }

private slots:
    void initTestCase() { previous = file("previous.bmp", craftBmp(58, 8, 8)); }

    // Taken as stored: the info block is all from the info header to bfOffBits, the pixels
    // biSizeImage bytes from there; WriteToFile writes them back in place, not truncating.
    void loadsFileAsStored_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("infoSize");
        QTest::newRow("24-bit") << drawn("BMP3", 20, 10) << 40;
        QTest::newRow("8-bit, 256 colours") << craftBmp(1078, 32, 32, 40, 8) << 1064;
        QTest::newRow("header of 108") << craftBmp(122, 64, 64, 108, 32) << 108;
        QTest::newRow("bytes beyond the image") << craftBmp(54, 16, 40) << 40;
    }
    void loadsFileAsStored() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, infoSize);
        cDIB dib;
        QVERIFY(dib.CreateFromFile(previous));
        allocation::largest = 0;
        QVERIFY(dib.CreateFromFile(file("stored.bmp", bytes)));
        QCOMPARE_GE(allocation::largest.load(), std::size_t(dib.SizeImage())); // tracker sees it
        const auto le16 = [&](int at) { return qFromLittleEndian<qint16>(bytes.constData() + at); };
        const auto le32 = [&](int at) { return qFromLittleEndian<qint32>(bytes.constData() + at); };
        QCOMPARE(state(dib), (QList<qint64>{le16(0), le32(2), le32(10), le32(14), le32(18),
                                            le32(22), le16(26), le16(28), le32(30), le32(34),
                                            le32(38), le32(42), le32(46), le32(50), infoSize}));
        // Written from the object's two buffers: the info block and the pixels as stored.
        const int end = dib.BitOffset() + dib.SizeImage();
        const QByteArray longer(bytes.size() + 8, 'x');
        QVERIFY(dib.WriteToFile(file("copy.bmp", longer)));
        QCOMPARE(readFile(path("copy.bmp")), bytes.left(end) + longer.mid(end));
        QVERIFY_THROWS_EXCEPTION(PictureError, dib.WriteToFile("/proc/version"));
    }

    // Refused with a box for the user, or (no box) with an error for the caller. The picture
    // stays, the file is closed, and nothing larger than the file is allocated.
    void refusedFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Refused>("refused");
        QTest::addColumn<Boxes>("boxes");
        QTest::addColumn<FileHeader>("fileHeader");
        const auto boxed = [](const char* name, const QString& file, const QString& prompt,
                              MsgIcon icon, FileHeader header = FileHeader::Unchanged) {
            QTest::newRow(name) << file << Refused::WithABox
                                << Boxes{{prompt, platform::MsgButtons::OK, icon, "picreel"}}
                                << header;
        };
        const auto failed = [](const char* name, const QString& file) {
            QTest::newRow(name) << file << Refused::WithAnError << Boxes() << FileHeader::Unchanged;
        };
        const QString gone = "File does not exist:\r\n";
        const QString notBmp = "File is not a supported bitmap format:\r\n";
        const QString missing = path("missing.bmp"), empty = file("empty.bmp", {});
        const QString jpeg = file("photo.bmp", drawn("JPEG", 8, 8));
        boxed("missing", missing, gone + missing, MsgIcon::Critical);
        boxed("folder", dir.path(), gone + dir.path(), MsgIcon::Critical);
        // A file that is no Bitmap leaves its first bytes as the file header.
        boxed("JPEG named .bmp", jpeg, notBmp + jpeg, MsgIcon::Information,
              FileHeader::FromTheFile);
        boxed("empty", empty, notBmp + empty, MsgIcon::Information, FileHeader::FromTheFile);
        sockaddr_un address{AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(path("socket.bmp")), sizeof address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0); // left open to the end
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        boxed("socket: the system's words", path("socket.bmp"), strerror(ENXIO),
              MsgIcon::Information);
        // Set when lockedFileShowsItsBox runs this test as another user.
        if (const QString locked = qEnvironmentVariable("PICREEL_LOCKED"); !locked.isEmpty())
            boxed("locked", locked, "File is locked - cannot access:\r\n" + locked,
                  MsgIcon::Critical);
        const auto bad = [&](const char* name, const QByteArray& bytes) {
            failed(name, file(QString(name) + ".bmp", bytes));
        };
        bad("negative image size", craftBmp(54, -16, 16));
        bad("offset 53", craftBmp(53, 16, 16));
        bad("one byte short", craftBmp(54, 17, 16));
        bad("54 bytes claiming 2 GiB", craftBmp(54, INT32_MAX, 0));
        bad("offset and size overflow", craftBmp(INT32_MAX, INT32_MAX, 16));
        QVERIFY(::mkfifo(QFile::encodeName(path("pipe.bmp")), 0600) == 0);
        failed("FIFO", path("pipe.bmp"));
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

    // CI runs as root, which opens anything: refusedFile runs again as nobody, on a file only
    // root may read.
    void lockedFileShowsItsBox() {
        if (::geteuid() != 0)
            QSKIP("needs root to run a child as another user");
        QTemporaryDir reachable;
        QFile::setPermissions(reachable.path(), QFileDevice::Permissions(0x7755));
        const QString binary = reachable.filePath("picture_test");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), binary));
        const QString locked = writeFile(reachable.filePath("locked.bmp"), craftBmp(54, 8, 8));
        QVERIFY(::chmod(QFile::encodeName(locked), 0600) == 0);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        env.insert("PICREEL_LOCKED", locked);
        child.setProcessEnvironment(env);
        child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", binary,
                                "refusedFile:locked"});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAll().constData());
    }

    // A packed DIB whose Bitmap file would be larger than its file header can say (2 GiB): refused
    // before a byte is allocated or copied. The bytes behind it are a mapping of zero pages.
    void packedDibTooLargeForABitmapFile() {
        const auto sizeImage = qint32(INT32_MAX - 53); // 54 more pass the largest 32-bit size
        const std::size_t size = 40 + std::size_t(sizeImage);
        void* bytes = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        QVERIFY2(bytes != MAP_FAILED, strerror(errno));
        const QByteArray header = craftBmp(54, sizeImage, 0, 40, 32).mid(14, 40);
        std::memcpy(bytes, header.constData(), 40);
        cDIB object;
        QVERIFY(object.CreateFromFile(previous));
        const QList<qint64> before = state(object);
        allocation::largest = 0;
        const bool taken = object.CreateFromPackedDIBPointer(bytes, size);
        ::munmap(bytes, size);
        QCOMPARE(taken, false);
        QCOMPARE(allocation::largest.load(), std::size_t(0));
        QCOMPARE(object.SizeFileHeader(), before[1]);
    }

    // Any picture (BMP, JPEG, GIF), whatever its name says, comes out as a 24-bit Bitmap of its own
    // size, turned as a JPEG's tag says and rows padded with zeros; the temporary Bitmap holds the
    // latest only.
    void convert_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("GIF") << file("still.gif", drawn("GIF", 64, 48)) << QSize(64, 48);
        QTest::newRow("JPEG named .bmp")
            << file("photo.bmp", drawn("JPEG", 64, 48)) << QSize(64, 48);
        // An EXIF block whose only entry is orientation 6: turned 90 degrees to be shown.
        const QByteArray exif = QByteArray::fromHex(
            "ffe1002245786966000049492a0008000000010012010300010000000600000000000000");
        QTest::newRow("JPEG turned by its tag")
            << file("turned.jpg", drawn("JPEG", 64, 48).insert(2, exif)) << QSize(48, 64);
        QTest::newRow("odd width, after larger ones")
            << file("odd.bmp", drawn("BMP3", 63, 17)) << QSize(63, 17);
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

    // A file that does not load leaves the holder, the temporary Bitmap and a new object as
    // they were.
    void refusedConversion_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("PNG named .jpg") << file("drawing.jpg", drawn("PNG", 8, 8));
        QImage probe;
        const QString deleted = file("deleted.jpg", drawn("JPEG", 8, 8));
        QVERIFY(picture::IsLoadablePicture(deleted, probe));
        QVERIFY(QFile::remove(deleted));
        QTest::newRow("deleted after it loaded") << deleted;
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
        QVERIFY_THROWS_EXCEPTION(PictureError, picture::TempBitmapPath());
        QVERIFY_THROWS_EXCEPTION(PictureError, picture::LoadPictureAsDib(picture, dib, holder));
        QCOMPARE(state(dib), QList<qint64>(15, 0));
    }

    // Running out of memory while saving is the saver's own error, like any other failure.
    void savingWithoutMemoryIsAPictureError() {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString target = path("no-memory.bmp");
        allocation::refuseAbove = 1024;
        const auto restore = qScopeGuard([] { allocation::refuseAbove = SIZE_MAX; });
        QVERIFY_THROWS_EXCEPTION(PictureError, picture::SavePicture(image, target));
        QCOMPARE(QFile::exists(target), false);
    }
};

QTEST_MAIN(PictureTest)
#include "tst_picture.moc"
