#include "allocation_tracker.h"
#include "picture/dib.h"
#include "picture/picture_error.h"
#include "sample_files.h"
#include "scripted_platform.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using picture::cDIB;
using picture::PictureError;
using platform::MsgBoxRequest;
using platform::MsgButtons;
using platform::MsgIcon;
using namespace samples;

namespace {

// Every value the object reports, so that "nothing changed" is one comparison.
QList<qint64> state(const cDIB& d) {
    QList<qint64> all{d.BitCount(),       d.Height(),    d.Width(),         d.Compression(),
                      d.SizeInfoHeader(), d.SizeImage(), d.Planes(),        d.ClrImportant(),
                      d.ClrUsed(),        d.XPPM(),      d.YPPM(),          d.FileType(),
                      d.SizeFileHeader(), d.BitOffset(), d.SizeBitmapInfo()};
    if (d.SizeBitmapInfo() > 0)
        all << qint64(quintptr(d.PointerToBits())) << qint64(quintptr(d.PointerToBitmapInfo()));
    return all;
}

QByteArray bits(const cDIB& d) {
    return QByteArray(reinterpret_cast<const char*>(d.PointerToBits()), d.SizeImage());
}
QByteArray infoBlock(const cDIB& d) {
    return QByteArray(reinterpret_cast<const char*>(d.PointerToBitmapInfo()), d.SizeBitmapInfo());
}

// Every way out of a load must close the file again.
qsizetype openFiles() {
    return QDir(QStringLiteral("/proc/self/fd")).count();
}

MsgBoxRequest box(const QString& prompt, MsgIcon icon) {
    return {prompt, MsgButtons::OK, icon, QStringLiteral("picreel")};
}

} // namespace

class DibTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString previous; // a small valid file loaded first, to see what a load replaces

    QString file(const QString& name, const QByteArray& bytes) {
        return writeFile(dir.filePath(name), bytes);
    }

private slots:
    void initTestCase() { previous = file("previous.bmp", craftBmp(58, 8, 8)); }

    void newObjectIsEmpty() {
        cDIB dib;
        QCOMPARE(state(dib), QList<qint64>(15, 0));
        QVERIFY_THROWS_EXCEPTION(PictureError, dib.PointerToBits());
        QVERIFY_THROWS_EXCEPTION(PictureError, dib.PointerToBitmapInfo());
    }

    // The object takes the file as stored: the info block is everything between the two
    // headers' start and bfOffBits, the pixels exactly biSizeImage bytes from bfOffBits, and
    // writing it back gives the same bytes.
    void loadsFileAsStored_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("infoSize");
        QTest::addColumn<int>("bitCount");
        QImage rgb = twoColours(800, 600);
        rgb.save(dir.filePath("rgb.bmp"), "BMP");
        QImage indexed = twoColours(16, 8).convertToFormat(QImage::Format_Indexed8);
        indexed.setColorCount(256);
        indexed.save(dir.filePath("indexed.bmp"), "BMP");
        QTest::newRow("24-bit 800x600") << readFile(dir.filePath("rgb.bmp")) << 40 << 24;
        QTest::newRow("8-bit, 256 colours") << readFile(dir.filePath("indexed.bmp")) << 1064 << 8;
        QTest::newRow("header of 108") << craftBmp(122, 64, 64, 108, 32) << 108 << 32;
        QTest::newRow("header of 124") << craftBmp(138, 64, 64, 124, 32) << 124 << 32;
        QTest::newRow("bytes beyond the image") << craftBmp(54, 16, 40) << 40 << 24;
        QTest::newRow("16-bit fields sign-extended") << craftBmp(54, 4, 4, 40, -2) << 40 << -2;
    }
    void loadsFileAsStored() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, infoSize);
        QFETCH(int, bitCount);
        ScriptedPlatform platform;
        const QString path = file("stored.bmp", bytes);
        cDIB dib;
        QVERIFY(dib.CreateFromFile(previous));
        QVERIFY(dib.CreateFromFile(path));

        const int offBits = le32(bytes, 10);
        QCOMPARE(dib.SizeBitmapInfo(), infoSize);
        QCOMPARE(dib.BitCount(), bitCount);
        QCOMPARE(dib.FileType(), 19778);
        QCOMPARE(dib.SizeFileHeader(), le32(bytes, 2));
        QCOMPARE(dib.BitOffset(), offBits);
        const QList<qint32> header{dib.SizeInfoHeader(), dib.Width(),       dib.Height(),
                                   dib.Planes(),         dib.BitCount(),    dib.Compression(),
                                   dib.SizeImage(),      dib.XPPM(),        dib.YPPM(),
                                   dib.ClrUsed(),        dib.ClrImportant()};
        const QList<qint32> stored{le32(bytes, 14), le32(bytes, 18), le32(bytes, 22),
                                   le16(bytes, 26), le16(bytes, 28), le32(bytes, 30),
                                   le32(bytes, 34), le32(bytes, 38), le32(bytes, 42),
                                   le32(bytes, 46), le32(bytes, 50)};
        QCOMPARE(header, stored);
        QCOMPARE(infoBlock(dib), bytes.mid(14, offBits - 14));
        QCOMPARE(bits(dib), bytes.mid(offBits, dib.SizeImage()));

        const QString copy = dir.filePath("copy.bmp");
        QFile::remove(copy);
        QVERIFY(dib.WriteToFile(copy));
        QCOMPARE(readFile(copy), bytes.left(offBits + dib.SizeImage()));
    }

    // The four refusals the user is told about; each leaves the loaded picture in place.
    void refusalsShowTheirBox_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<MsgIcon>("icon");
        const QString missing = dir.filePath("missing.bmp");
        QTest::newRow("missing") << missing << "File does not exist:\r\n" + missing
                                 << MsgIcon::Critical;
        QTest::newRow("folder") << dir.path() << "File does not exist:\r\n" + dir.path()
                                << MsgIcon::Critical;
        twoColours(8, 8).save(dir.filePath("photo.bmp.jpg"), "JPEG");
        const QString jpeg = file("photo.bmp", readFile(dir.filePath("photo.bmp.jpg")));
        QTest::newRow("JPEG named .bmp")
            << jpeg << "File is not a supported bitmap format:\r\n" + jpeg << MsgIcon::Information;
        const QString empty = file("empty.bmp", {});
        QTest::newRow("empty") << empty << "File is not a supported bitmap format:\r\n" + empty
                               << MsgIcon::Information;
        // A socket exists but cannot be opened: the system's own words, information icon.
        const QString socketPath = dir.filePath("socket.bmp");
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socketPath), sizeof address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        ::close(fd);
        QTest::newRow("socket") << socketPath << QString::fromLocal8Bit(strerror(ENXIO))
                                << MsgIcon::Information;
    }
    void refusalsShowTheirBox() {
        QFETCH(QString, path);
        QFETCH(QString, prompt);
        QFETCH(MsgIcon, icon);
        ScriptedPlatform platform;
        cDIB dib;
        QVERIFY(dib.CreateFromFile(previous));
        const QByteArray before = bits(dib);
        const int width = dib.Width(), infoSize = dib.SizeBitmapInfo();
        platform.expectOkBoxes(1);
        const qsizetype files = openFiles();
        QVERIFY(!dib.CreateFromFile(path));
        QCOMPARE(openFiles(), files);
        QCOMPARE(platform.takeBoxes(), QList<MsgBoxRequest>{box(prompt, icon)});
        QCOMPARE(bits(dib), before);
        QCOMPARE(dib.Width(), width);
        QCOMPARE(dib.SizeBitmapInfo(), infoSize);
    }

    // Header values that contradict the file go to the caller without a box, leave the
    // object as it was, never read past the end and never allocate more than the file holds.
    void badHeaderGoesToCaller_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("image size 0") << craftBmp(54, 0, 16);
        QTest::newRow("negative image size") << craftBmp(54, -16, 16);
        QTest::newRow("offset 13") << craftBmp(13, 16, 16);
        QTest::newRow("offset 53, inside the info header") << craftBmp(53, 16, 16);
        QTest::newRow("negative offset") << craftBmp(-100, 16, 16);
        QTest::newRow("one byte short") << craftBmp(54, 17, 16);
        QTest::newRow("colour table short") << craftBmp(1078, 16, 16).left(600);
        QTest::newRow("40 bytes claiming 2 GiB") << craftBmp(54, INT32_MAX, 0).left(40);
        QTest::newRow("54 bytes claiming 2 GiB") << craftBmp(54, INT32_MAX, 0);
        QTest::newRow("offset and size overflow") << craftBmp(INT32_MAX, INT32_MAX, 16);
    }
    void badHeaderGoesToCaller() {
        QFETCH(QByteArray, bytes);
        ScriptedPlatform platform;
        const QString path = file("bad.bmp", bytes);
        cDIB dib;
        QVERIFY(dib.CreateFromFile(previous));
        const QList<qint64> before = state(dib);
        const qsizetype files = openFiles();
        allocation::reset();
        QVERIFY_THROWS_EXCEPTION(PictureError, dib.CreateFromFile(path));
        QCOMPARE_LE(allocation::largest(), std::size_t(bytes.size()) + 1024);
        QCOMPARE(openFiles(), files);
        QCOMPARE(state(dib), before);
    }

    // A FIFO must not make the load wait for a writer.
    void fifoIsAnErrorWithoutWaiting() {
        ScriptedPlatform platform;
        const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.bmp"));
        QVERIFY(::mkfifo(fifo, 0600) == 0);
        cDIB dib;
        QVERIFY_THROWS_EXCEPTION(PictureError, dib.CreateFromFile(QFile::decodeName(fifo)));
    }

    // CI runs as root, which opens anything: the refusal is arranged by loading in a child
    // process that runs as nobody, with the file readable only by root.
    void unreadableFileShowsLockedBox() {
        if (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("needs root and setpriv to run a child as another user");
        QTemporaryDir reachable;
        QFile::setPermissions(reachable.path(), QFileDevice::Permissions(0x7755));
        const QString binary = reachable.filePath("picture_test");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), binary));
        const QString locked = writeFile(reachable.filePath("locked.bmp"), craftBmp(54, 8, 8));
        QVERIFY(::chmod(QFile::encodeName(locked), 0600) == 0);

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        child.setProcessEnvironment(env);
        child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", binary,
                                "--probe-load", locked});
        QVERIFY(child.waitForFinished(60000));
        const QString expected = QString("%1|File is locked - cannot access:\r\n%2\nresult=0\n")
                                     .arg(int(MsgIcon::Critical))
                                     .arg(locked);
        QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()), expected);
    }

    void packedDib_data() {
        QTest::addColumn<int>("bitCount");
        QTest::addColumn<int>("sizeImage");
        QTest::addColumn<int>("available"); // bytes the caller says lie at the address
        QTest::addColumn<bool>("taken");
        QTest::newRow("32-bit") << 32 << 64 << 104 << true;
        QTest::newRow("16-bit") << 16 << 8 << 48 << true;
        QTest::newRow("24-bit, more bytes behind") << 24 << 12 << 60 << true;
        QTest::newRow("8-bit") << 8 << 16 << 56 << false;
        QTest::newRow("no image size") << 32 << 0 << 40 << false;
        QTest::newRow("negative image size") << 32 << -4 << 40 << false;
        QTest::newRow("image beyond the bytes") << 32 << 64 << 103 << false;
        QTest::newRow("shorter than the header") << 32 << 0 << 39 << false;
    }
    void packedDib() {
        QFETCH(int, bitCount);
        QFETCH(int, sizeImage);
        QFETCH(int, available);
        QFETCH(bool, taken);
        ScriptedPlatform platform;
        QByteArray packed = craftPackedDib(qint16(bitCount), qMax(0, sizeImage));
        packed.resize(qMax(available, int(packed.size())));
        cDIB dib;
        QVERIFY(dib.CreateFromFile(previous));
        const QList<qint64> before = state(dib);
        QCOMPARE(dib.CreateFromPackedDIBPointer(packed.constData(), std::size_t(available)), taken);
        if (!taken) {
            // The refused header stays in the record; buffers and file header do not change.
            QCOMPARE(dib.BitCount(), available >= 40 ? bitCount : before[0]);
            QCOMPARE(state(dib).mid(11), before.mid(11));
            return;
        }
        QCOMPARE(dib.SizeBitmapInfo(), 40);
        QCOMPARE(dib.BitOffset(), 54);
        QCOMPARE(dib.FileType(), 19778);
        QCOMPARE(dib.SizeFileHeader(), sizeImage + 54);
        QCOMPARE(infoBlock(dib), packed.left(40));
        QCOMPARE(bits(dib), packed.mid(40, sizeImage));
        const QString written = dir.filePath("packed.bmp");
        QFile::remove(written);
        QVERIFY(dib.WriteToFile(written));
        cDIB reread;
        QVERIFY(reread.CreateFromFile(written));
        QCOMPARE(state(reread).mid(0, 15), state(dib).mid(0, 15));
        QCOMPARE(bits(reread), bits(dib));
    }

    // An existing file is written over in place; a file that cannot be written is an error.
    void writeToFileOverwritesInPlaceAndReportsFailure() {
        ScriptedPlatform platform;
        cDIB dib;
        QVERIFY(dib.CreateFromFile(previous));
        const QString target = file("longer.bmp", QByteArray(200, 'x'));
        QVERIFY(dib.WriteToFile(target));
        const QByteArray original = readFile(previous);
        QCOMPARE(readFile(target), original + QByteArray(200 - original.size(), 'x'));
        QVERIFY_THROWS_EXCEPTION(PictureError, dib.WriteToFile(dir.filePath("no/such/folder.bmp")));
        QVERIFY_THROWS_EXCEPTION(PictureError, dib.WriteToFile("/proc/version"));
    }
};

int runDibTests(int argc, char** argv) {
    DibTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "dib_test.moc"
