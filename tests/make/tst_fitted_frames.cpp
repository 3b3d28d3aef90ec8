#include "avi_test_support.h"

#include <QTemporaryDir>

namespace {

// One way of fitting a folder of mixed pictures to 1280 x 720, the arguments ImageMagick
// needs to make the same frame from a picture, and how close ours must come.
struct FitRow {
    QStringList args;
    QStringList reference; // between the picture and the output
    int plainFrame;        // a frame whose top left pixel is the background alone
    QByteArray background; // B, G, R
    double leastPsnr;
};

} // namespace

class TestFittedFrames : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    const int frameBytes = 1280 * 720 * 3;

    QString path(const QString& name) const { return dir.filePath(name); }
    void make(const QString& name, const QStringList& args) {
        run("convert", args + QStringList{path(name)});
    }
    int picreelMake(const QStringList& args, QByteArray* err = nullptr) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(PICREEL_MAKE, args);
        p.waitForFinished(120000);
        if (err)
            *err = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private slots:
    // Landscape, portrait turned by its tag, square with transparency, wide WebP and tall
    // TIFF: every shape and every new format once, in the folder's natural order.
    void initTestCase() {
        QVERIFY(QDir(dir.path()).mkdir("mixed"));
        // Large enough for libjpeg to decode it at a quarter of its size.
        make("mixed/1.jpg", {"-size", "4000x3000", "gradient:red-blue", "-quality", "95"});
        make("mixed/2.jpg", {"-size", "600x400", "gradient:green-yellow", "-fill", "white", "-draw",
                             "rectangle 0,0 100,400", "-quality", "95"});
        // The tag says: turn a quarter clockwise to show; the white band then lies on top.
        QByteArray turned = readFile(path("mixed/2.jpg"));
        turned.insert(2, QByteArray::fromHex("ffe1002245786966000049492a00080000000100120103000100"
                                             "00000600000000000000"));
        writeFile(path("mixed/2.jpg"), turned);
        make("mixed/3.png", {"-size", "500x500", "xc:none", "-fill", "rgba(255,0,0,0.5)", "-draw",
                             "circle 250,250 250,50"});
        make("mixed/4.webp", {"-size", "640x360", "-seed", "3", "plasma:", "-quality", "100",
                              "-define", "webp:lossless=true"});
        make("mixed/5.tif", {"-size", "300x500", "gradient:white-black"});
    }

    void everyFrameAsImageMagickMakesIt_data() {
        QTest::addColumn<FitRow>("row");
        QTest::newRow("pad") << FitRow{.args = {"--size", "1280x720"},
                                       .reference = {"-background", "black", "-alpha", "remove",
                                                     "-resize", "1280x720", "-gravity", "center",
                                                     "-extent", "1280x720"},
                                       .plainFrame = 0, // a bar beside the landscape picture
                                       .background = QByteArray(3, 0),
                                       .leastPsnr = 40};
        QTest::newRow("crop on green")
            << FitRow{.args = {"--size", "1280x720", "--fit", "crop", "--background", "#00ff00"},
                      .reference = {"-background", "#00ff00", "-alpha", "remove", "-resize",
                                    "1280x720^", "-gravity", "center", "-extent", "1280x720"},
                      .plainFrame = 2, // the square picture's transparent corner
                      .background = QByteArray::fromHex("00ff00"),
                      .leastPsnr = 40};
    }
    void everyFrameAsImageMagickMakesIt() {
        QFETCH(FitRow, row);
        QCOMPARE(picreelMake(row.args + QStringList{"-y", "-o", "fit.avi", "mixed"}), 0);
        const QByteArray frames = decode(path("fit.avi"));
        QCOMPARE(frames.size(), 5 * frameBytes);
        QCOMPARE(frames.mid(row.plainFrame * frameBytes, 3), row.background);
        const QStringList pictures{"1.jpg", "2.jpg", "3.png", "4.webp", "5.tif"};
        for (int i = 0; i < pictures.size(); ++i) {
            const QByteArray reference =
                // sRGB first: a grey picture laid over a colour would be taken as linear light.
                run("convert", QStringList{path("mixed/" + pictures[i]), "-auto-orient",
                                           "-colorspace", "sRGB"} +
                                   row.reference + QStringList{"-depth", "8", "bgr:-"});
            const double psnr =
                leastPsnr(frames.mid(i * frameBytes, frameBytes), reference, frameBytes);
            QVERIFY2(psnr >= row.leastPsnr, qPrintable(pictures[i] + QString(": %1 dB").arg(psnr)));
        }
    }

    // What cannot be made is refused before the output is touched.
    void refusedBeforeTheOutputIsTouched() {
        writeFile(path("o.avi"), "precious");
        QByteArray err;
        QCOMPARE(
            picreelMake({"-y", "--size", "1281x720", "-c", "H264", "-o", "o.avi", "mixed"}, &err),
            5);
        QCOMPARE(err, "picreel-make: H.264 (x264) needs a width and height that are multiples "
                      "of 2; the frames are 1281 x 720\n");
        writeFile(path("mixed/6.jpg"), "not a picture");
        QCOMPARE(picreelMake({"-y", "--fit", "crop", "-o", "o.avi", "mixed"}, &err), 3);
        QCOMPARE(err, "picreel-make: mixed/6.jpg: not a BMP, JPEG, GIF, PNG, WebP or TIFF "
                      "picture\n");
        QCOMPARE(readFile(path("o.avi")), QByteArray("precious"));
        QFile::remove(path("mixed/6.jpg"));
    }
};

QTEST_GUILESS_MAIN(TestFittedFrames)
#include "tst_fitted_frames.moc"
