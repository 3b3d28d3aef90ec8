#include "avi_test_support.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <optional>

namespace {

struct Run {
    int exitCode = -1;
    QString err;
};

// A picture size the AVI format or a compressor cannot take, and what picreel-make says.
struct LimitRow {
    QString compressor;
    QSize size;
    QString says;
};

// A few bytes declaring a 16000 x 16000 picture, and the address space a run converting it
// completes in: the decoded picture, what libjpeg keeps of a progressive file, and the
// program's own few hundred megabytes.
struct MemoryRow {
    QString name;
    QByteArray bytes;
    QString limit;
};

// A folder of three pictures made into a video, and what the video must be.
struct FolderRow {
    QStringList args;
    QString rate; // as ffprobe gives it
    QString duration;
    QList<int> storedAt; // the frames the file holds: repeats as null frames are not stored
    int framesPerPicture;
    double leastPsnr; // 99: every pixel exact
};

} // namespace

class TestPicreelMake : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir; // every test's own, picreel-make's working folder

    QString path(const QString& name) const { return dir->filePath(name); }
    // The videos being written beside o.avi, by name.
    QStringList unfinished() const {
        return QDir(dir->path())
            .entryList({".o.avi.picreel-unfinished-*"}, QDir::Files | QDir::Hidden, QDir::Name);
    }
    // A Bitmap file of makeDib's picture; returns the frame players must show for it.
    QByteArray bitmap(const QString& name, int width, int height, int seed) {
        const TestDib d = makeDib(width, height, seed);
        writeFile(path(name), bitmapHeader(width, height, 24, 0) +
                                  QByteArray(reinterpret_cast<const char*>(d.bits.data()),
                                             qsizetype(d.bits.size())));
        return d.expected;
    }
    // The two headers of a Bitmap of this size and depth, its pixels `tableBytes` after them.
    static QByteArray bitmapHeader(qint32 width, qint32 height, qint16 bitCount,
                                   qint32 tableBytes) {
        QByteArray out;
        QDataStream s(&out, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        const auto pixels = qint32((qint64(width) * bitCount / 8 + 3) / 4 * 4 * height);
        s << quint16(0x4d42) << qint32(54 + tableBytes + pixels) << qint32(0)
          << qint32(54 + tableBytes) << qint32(40) << width << height << qint16(1) << bitCount
          << qint32(0) << pixels << qint32(2835) << qint32(2835) << qint32(0) << qint32(0);
        return out;
    }
    // Runs picreel-make in the test's folder, under `wrapper` when one is given (prlimit).
    Run make(const QStringList& args, const QByteArray& input = {}, QStringList wrapper = {}) {
        QProcess p;
        p.setWorkingDirectory(dir->path());
        wrapper << PICREEL_MAKE << args;
        p.start(wrapper.takeFirst(), wrapper);
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(120000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardError())};
    }

private slots:
    void init() { dir.emplace(); }

    void folderBecomesVideo_data() {
        QTest::addColumn<FolderRow>("row");
        QTest::newRow("25 fps, 0.2 s, MJPEG")
            << FolderRow{.args = {"-r", "25", "-d", "0.2", "-c", "mjpg", "-q", "90"},
                         .rate = "25/1",
                         .duration = "0.600000",
                         .storedAt = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
                         .framesPerPicture = 5,
                         .leastPsnr = 30};
        // 0.1 s at 29.97 is 2.997 frames: rounded to 3. The last frame is never a null one.
        QTest::newRow("30000/1001, zero-length repeats")
            << FolderRow{.args = {"-r", "30000/1001", "-d", "0.1", "--zero-length-repeats"},
                         .rate = "30000/1001",
                         .duration = "0.300300",
                         .storedAt = {0, 3, 6, 8},
                         .framesPerPicture = 3,
                         .leastPsnr = 99};
    }

    // A folder of pictures, in natural order, each for its whole duration, the last one included.
    void folderBecomesVideo() {
        QFETCH(FolderRow, row);
        QDir(dir->path()).mkdir("pictures");
        QList<QByteArray> pictures;
        for (const int n : {1, 2, 10})
            pictures << bitmap(QString("pictures/img%1.bmp").arg(n), 64, 48, n);

        const Run r = make(row.args << "--quiet"
                                    << "pictures");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QString());
        const QString avi = path("PICREEL.avi");
        QCOMPARE(QString::fromLatin1(probe(avi, "stream=r_frame_rate")), row.rate);
        QCOMPARE(QString::fromLatin1(probe(avi, "format=duration")), row.duration);
        QByteArray pts, stored;
        for (const int frame : row.storedAt) {
            pts += QByteArray::number(frame) + ' ';
            stored += pictures[frame / row.framesPerPicture];
        }
        QCOMPARE(probe(avi, "packet=pts"), pts.trimmed());
        QCOMPARE_GE(leastPsnr(decode(avi, true), stored, 64 * 48 * 3), row.leastPsnr);
    }

    // Every picture whose size differs from the first's is named; the output is never made.
    void picturesThatDifferAreAllListed() {
        bitmap("a1.bmp", 64, 48, 1);
        bitmap("a2.bmp", 64, 40, 2);
        bitmap("a3.bmp", 64, 48, 3);
        bitmap("a4.bmp", 48, 64, 4);

        const Run r = make({"."});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err, "picreel-make: This picture file (./a2.bmp) is a different size or colour "
                        "depth. NB: The first picture file in the list sets the frame size and "
                        "color depth of the AVI. Hint: Try preparing your pictures using "
                        "SIZEMATE.EXE first.\n"
                        "picreel-make: 2 pictures differ from the first (64 x 48, 24 bits):\n"
                        "  ./a2.bmp: 64 x 40, 24 bits\n"
                        "  ./a4.bmp: 48 x 64, 24 bits\n");
        QVERIFY(!QFile::exists(path("PICREEL.avi")));
    }

    // Every picture that cannot be read is named, whatever comes before or after it.
    void unreadablePicturesAreNamed() {
        bitmap("good.bmp", 64, 48, 1);
        writeFile(path("notes.jpg"), "not a picture");

        const Run r = make({"notes.jpg", "good.bmp", "gone.bmp"});
        QCOMPARE(r.exitCode, 3);
        QCOMPARE(r.err, "picreel-make: notes.jpg: not a BMP, JPEG, GIF, PNG, WebP or TIFF "
                        "picture\npicreel-make: gone.bmp: No such file or directory\n");
        QVERIFY(!QFile::exists(path("PICREEL.avi")));
    }

    // While the run writes, the target is left alone: the video grows beside it under a hidden
    // name. SIGKILL leaves the target as it was and that file recognisable; the next run does
    // not trip on it.
    void signalsLeaveTheTargetWhole() {
        bitmap("big.bmp", 1280, 720, 1);
        writeFile(path("o.avi"), "precious");
        const QStringList args{"-y", "-f", "100000", "-r", "25", "big.bmp", "-o", "o.avi"};
        QProcess killed;
        killed.setWorkingDirectory(dir->path());
        killed.start(QStringLiteral(PICREEL_MAKE), args);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path(unfinished().value(0))).size() > 20'000'000, 60000);
        killed.kill();
        QVERIFY(killed.waitForFinished(60000));
        QCOMPARE(readFile(path("o.avi")), QByteArray("precious"));
        const QStringList leftOver = unfinished();
        QCOMPARE(leftOver.size(), 1);

        QCOMPARE(make({"-y", "--quiet", "-f", "2", "big.bmp", "-o", "o.avi"}).exitCode, 0);
        QCOMPARE(unfinished(), leftOver);
        QCOMPARE(probe(path("o.avi"), "stream=nb_frames"), "2");
    }

    // Two runs on one target each write their own file; the last to finish wins whole.
    void twoRunsOnOneTargetLeaveOneWholeVideo() {
        const QByteArray first = bitmap("a.bmp", 320, 240, 1);
        const QByteArray second = bitmap("b.bmp", 320, 240, 2);
        QProcess runs[2];
        for (int i = 0; i < 2; ++i) {
            runs[i].setWorkingDirectory(dir->path());
            runs[i].start(QStringLiteral(PICREEL_MAKE), {"-y", "--quiet", "-f", "300", "-o",
                                                         "o.avi", i == 0 ? "a.bmp" : "b.bmp"});
        }
        for (QProcess& run : runs) {
            QVERIFY(run.waitForFinished(60000));
            QCOMPARE(run.exitCode(), 0);
        }
        const QByteArray frames = decode(path("o.avi"));
        QVERIFY(frames == first.repeated(300) || frames == second.repeated(300));
        QCOMPARE(unfinished(), QStringList());
    }

    // The video never takes the place of a picture it has to read, whatever the path says.
    void outputThatIsAListedPictureIsRefused() {
        bitmap("a.bmp", 32, 32, 1);
        bitmap("b.bmp", 32, 32, 2);
        const QByteArray picture = readFile(path("b.bmp"));
        QVERIFY(QFile::link(path("b.bmp"), path("video.avi")));
        const Run r = make({"-y", "-o", "video.avi", "a.bmp", "b.bmp"});
        QCOMPARE(r.exitCode, 64);
        QCOMPARE(r.err, "picreel-make: video.avi is one of the pictures (b.bmp); give the video "
                        "another name\n");
        QCOMPARE(readFile(path("b.bmp")), picture);
    }

    // What the AVI format or the compressor cannot take is found before the output is touched.
    void limitsFoundBeforeTheOutputIsTouched_data() {
        QTest::addColumn<LimitRow>("row");
        QTest::newRow("a side over 32,767")
            << LimitRow{.compressor = "DIB",
                        .size = {40000, 2},
                        .says = "an AVI file cannot hold a side over 32,767 pixels; the "
                                "pictures are 40000 x 2"};
        QTest::newRow("MPEG-4 from 8192 wide")
            << LimitRow{.compressor = "XVID",
                        .size = {8192, 16},
                        .says = "MPEG-4 video (Xvid compatible) refuses them: mpeg4: opening the "
                                "encoder: Invalid argument; the pictures are 8192 x 16"};
        QTest::newRow("more pixels than ffmpeg decodes")
            << LimitRow{.compressor = "DIB",
                        .size = {16300, 16300},
                        .says = "video players decode no frame this large; the pictures are "
                                "16300 x 16300"};
    }
    void limitsFoundBeforeTheOutputIsTouched() {
        QFETCH(LimitRow, row);
        // Only the header is read: the pixels can be a hole in the file.
        const QByteArray header = bitmapHeader(row.size.width(), row.size.height(), 24, 0);
        writeFile(path("a.bmp"), header);
        const qint64 pixels = (qint64(row.size.width()) * 3 + 3) / 4 * 4 * row.size.height();
        QVERIFY(QFile::resize(path("a.bmp"), 54 + pixels));
        writeFile(path("o.avi"), "precious");
        const Run r = make({"-y", "-c", row.compressor, "a.bmp", "-o", "o.avi"});
        QCOMPARE(r.exitCode, 5);
        QCOMPARE(r.err, "picreel-make: " + row.says + "\n");
        QCOMPARE(readFile(path("o.avi")), QByteArray("precious"));
    }

    // A Bitmap whose colour table cannot be, and a picture too large for the memory the run
    // may use, are found before anything is written, though a good picture comes first.
    void unconvertiblePicturesAreFoundFirst() {
        bitmap("good.bmp", 32, 32, 1);
        QByteArray palette = bitmapHeader(4, 4, 8, 256 * 4) + QByteArray(256 * 4 + 16, 0);
        palette.replace(46, 4, QByteArray("\xe8\x03\0\0", 4)); // 1000 colours used
        writeFile(path("palette.bmp"), palette);
        writeFile(path("huge.bmp"), bitmapHeader(16000, 16000, 24, 0) + QByteArray(1000, 0));
        writeFile(path("o.avi"), "precious");

        const Run table = make({"-y", "good.bmp", "palette.bmp", "-o", "o.avi"});
        QCOMPARE(table.exitCode, 3);
        QCOMPARE(table.err, "picreel-make: palette.bmp: Unable to read image data\n");
        QCOMPARE(readFile(path("o.avi")), QByteArray("precious"));
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("the sanitizers map more address space than the limit below allows");
#endif
        const Run memory =
            make({"-y", "good.bmp", "huge.bmp", "-o", "o.avi"}, {}, {"prlimit", "--as=1200000000"});
        QCOMPARE(memory.exitCode, 3);
        QVERIFY2(memory.err.startsWith("picreel-make: huge.bmp: 16000 x 16000 pixels need about "
                                       "1040 MB to convert, more than the "),
                 qPrintable(memory.err));
        QCOMPARE(readFile(path("o.avi")), QByteArray("precious"));
    }

    void conversionStaysWithinItsBound_data() {
        QTest::addColumn<MemoryRow>("row");
        // One frame filling the screen, its single code the end of the data.
        const QByteArray gif = "GIF89a" + QByteArray::fromHex("803e803e800000000000ffffff") + "," +
                               QByteArray::fromHex("0000000080 3e803e00 02024401 00") + ";";
        QTest::newRow("GIF") << MemoryRow{.name = "big.gif", .bytes = gif, .limit = "1400000000"};
        // A small progressive JPEG whose frame header is made to declare the large size.
        QByteArray jpeg = run("convert", {"-size", "64x64", "plasma:", "-interlace", "Plane",
                                          "-sampling-factor", "2x2", "jpeg:-"});
        jpeg.replace(jpeg.indexOf("\xff\xc2") + 5, 4, QByteArray::fromHex("3e803e80"));
        QTest::newRow("progressive JPEG")
            << MemoryRow{.name = "big.jpg", .bytes = jpeg, .limit = "1900000000"};
    }
    void conversionStaysWithinItsBound() {
        QFETCH(MemoryRow, row);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("the sanitizers map more address space than the limit allows");
#endif
        writeFile(path(row.name), row.bytes);
        const Run r = make({row.name, "-o", "o.avi"}, {}, {"prlimit", "--as=" + row.limit});
        QCOMPARE(r.err, "picreel-make: wrote o.avi: 1 frames, 1.000 s, 768.0 MB, Full Frames "
                        "(Uncompressed)\n");
        QCOMPARE(r.exitCode, 0);
    }

    // A picture rewritten at another size after the check is named when its turn comes, and
    // the output holds the frames written before it.
    void pictureChangedSinceTheCheckIsNamed() {
        const QByteArray first = bitmap("a.bmp", 640, 480, 1);
        bitmap("b.bmp", 640, 480, 2);
        QProcess p;
        p.setWorkingDirectory(dir->path());
        p.start(QStringLiteral(PICREEL_MAKE), {"-f", "400", "a.bmp", "b.bmp", "-o", "o.avi"});
        QTRY_VERIFY_WITH_TIMEOUT(!unfinished().isEmpty(), 60000);
        bitmap("b.bmp", 320, 240, 2);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        QCOMPARE(p.readAllStandardError(),
                 "picreel-make: b.bmp: now 320 x 240, 24 bits, since the check; the video is 640 "
                 "x 480, 24 bits\npicreel-make: o.avi holds the 400 frames written before it\n");
        QCOMPARE(decode(path("o.avi")), first.repeated(400));
    }

    // A name that is not UTF-8 cannot pass through Qt's text unchanged: wherever it comes
    // from, it is refused by name, never dropped or replaced by another.
    void namesThatAreNotUtf8AreRefused_data() {
        QTest::addColumn<QString>("arguments"); // for bash; $n is the name
        QTest::addColumn<QString>("shown");
        QTest::newRow("in a folder") << "-y pictures"
                                     << "pictures/img\\xff.bmp";
        QTest::newRow("as an argument") << "-y \"pictures/$n\""
                                        << "pictures/img\\xff.bmp";
        QTest::newRow("as the output") << "-y a.bmp -o \"$n.avi\""
                                       << "img\\xff.bmp.avi";
        QTest::newRow("in a list") << "-y --from-list - <<< \"pictures/$n\""
                                   << "pictures/img\\xff.bmp";
    }
    void namesThatAreNotUtf8AreRefused() {
        QFETCH(QString, arguments);
        QFETCH(QString, shown);
        bitmap("a.bmp", 32, 32, 1);
        QDir(dir->path()).mkdir("pictures");
        const QString script =
            "n=img$(printf '\\xff').bmp; cp a.bmp \"pictures/$n\"; \"$0\" " + arguments;
        QProcess p;
        p.setWorkingDirectory(dir->path());
        p.start("bash", {"-c", script, PICREEL_MAKE});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 3);
        QCOMPARE(p.readAllStandardError(), "picreel-make: " + shown +
                                               ": a name that is not UTF-8; PICREEL takes UTF-8 "
                                               "names only, rename it\n");
        QVERIFY(!QFile::exists(path("PICREEL.avi")));
    }

    // A file-size limit plays a full disk: one line names the file and the reason, and the file
    // holds every frame written before, complete.
    void fullDiskLeavesTheFramesWritten() {
        const QByteArray frame = bitmap("a.bmp", 64, 48, 1);
        const Run r = make({"-f", "20", "--quiet", "a.bmp"}, {}, {"prlimit", "--fsize=100000"});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, "picreel-make: PICREEL.avi: taking room for the frames: File too large\n");
        const int frames = probe(path("PICREEL.avi"), "stream=nb_frames").toInt();
        QCOMPARE_GT(frames, 3);
        QCOMPARE_LT(frames, 20);
        QCOMPARE(decode(path("PICREEL.avi")), frame.repeated(frames));
    }

    // A usage error names what is wrong in one line and points to --help.
    void badArgumentsGiveUsage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        const QString fps = "--fps wants a rate above 0 and up to 240, such as 25, 29.97 or "
                            "30000/1001, not ";
        QTest::newRow("unknown option")
            << QStringList{"--fast", "a.bmp"} << "Unknown option 'fast'.";
        QTest::newRow("rate above 240") << QStringList{"-r", "240.5", "a.bmp"} << fps + "\"240.5\"";
        QTest::newRow("duration and frames") << QStringList{"-d", "1", "-f", "2", "a.bmp"}
                                             << "give --duration or --frames, not both";
        QTest::newRow("duration 0")
            << QStringList{"-d", "0", "a.bmp"} << "--duration wants a number of seconds above 0";
        QTest::newRow("quality 101")
            << QStringList{"-q", "101", "a.bmp"} << "--quality wants a whole number from 0 to 100";
        QTest::newRow("no such compressor")
            << QStringList{"-c", "XYZW", "a.bmp"}
            << "no compressor \"XYZW\" on this machine; --list-compressors shows those there are";
        QTest::newRow("size without a height")
            << QStringList{"--size", "1280", "a.bmp"}
            << "--size wants a width and height in pixels such as 1920x1080, not \"1280\"";
        QTest::newRow("background not a colour")
            << QStringList{"--background", "sky", "a.bmp"}
            << "--background wants #rrggbb or a colour name such as white, not \"sky\"";
        QTest::newRow("no pictures") << QStringList{"-y"} << "no pictures given";
    }
    void badArgumentsGiveUsage() {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        const Run r = make(args);
        QCOMPARE(r.exitCode, 64);
        QCOMPARE(r.err, "picreel-make: " + says + "\nTry 'picreel-make --help' for more.\n");
    }

    // Lines or NUL-separated paths, in the list's order; a NUL inside a line is no list.
    void listFromStandardInput() {
        const QByteArray first = bitmap("img1.bmp", 32, 32, 1);
        const QByteArray second = bitmap("img2.bmp", 32, 32, 2);
        const Run lines = make({"--quiet", "--from-list", "-"},
                               "img2.bmp\r\n\n" + path("img1.bmp").toLocal8Bit() + "\n");
        QCOMPARE(lines.exitCode, 0);
        QCOMPARE(decode(path("PICREEL.avi")), second + first);
        const Run nul = make({"--quiet", "-y", "-0", "--from-list", "-"},
                             QByteArray("img1.bmp\0img2.bmp\0img1.bmp\0", 27));
        QCOMPARE(nul.exitCode, 0);
        QCOMPARE(decode(path("PICREEL.avi")), first + second + first);
        const Run refused =
            make({"-y", "--from-list", "-"}, QByteArray("img1.bmp\0img2.bmp\0", 18));
        QCOMPARE(refused.exitCode, 64);
        QCOMPARE(refused.err, "picreel-make: - has a NUL byte in a line; --null reads a list of "
                              "NUL-separated paths\n");
    }

    // Endless input stops at the cap; an interrupt stops the reading at once, even while no
    // line comes.
    void endlessListStops() {
        const Run endless = make({"--from-list", "-"}, QByteArray("x.jpg\n").repeated(1'000'001));
        QCOMPARE(endless.exitCode, 64);
        QCOMPARE(endless.err,
                 "picreel-make: more than 1000000 pictures; one run takes at most that many\n");

        QProcess p;
        p.setWorkingDirectory(dir->path());
        p.start(QStringLiteral(PICREEL_MAKE), {"--from-list", "-"});
        QVERIFY(p.waitForStarted());
        p.write("x.jpg\ny.jpg\n"); // and no more for now
        QTest::qWait(300);
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE_LT(clock.elapsed(), 1000);
        QCOMPARE(p.exitCode(), 130);
        QCOMPARE(p.readAllStandardError(), "picreel-make: interrupted; nothing was written\n");
    }

    // SIGTERM and SIGHUP end a run after the frame in hand with a complete, shorter file that
    // every frame decodes from; standard error closed under a run does not end it.
    void signalsAndClosedPipeLeaveACompleteFile() {
        const QByteArray frame = bitmap("a.bmp", 64, 48, 1);
        for (const int signal : {SIGTERM, SIGHUP}) {
            QProcess p;
            p.setWorkingDirectory(dir->path());
            p.start(QStringLiteral(PICREEL_MAKE), {"-y", "-f", "1000000", "a.bmp", "-o", "o.avi"});
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path(unfinished().value(0))).size() > 1'000'000,
                                     60000);
            ::kill(pid_t(p.processId()), signal);
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 130);
            const int frames = probe(path("o.avi"), "stream=nb_frames").toInt();
            QCOMPARE(decode(path("o.avi")), frame.repeated(frames));
            QVERIFY(QString::fromLocal8Bit(p.readAllStandardError())
                        .contains(QString("interrupted; wrote o.avi: %1 frames,").arg(frames)));
        }

        const QString script = QString("\"$0\" -y -f 3 a.bmp -o o.avi 2>&1 | true; "
                                       "exit ${PIPESTATUS[0]}");
        QProcess piped;
        piped.setWorkingDirectory(dir->path());
        piped.start("bash", {"-c", script, PICREEL_MAKE});
        QVERIFY(piped.waitForFinished(60000));
        QCOMPARE(piped.exitCode(), 0);
        QCOMPARE(decode(path("o.avi")), frame.repeated(3));
    }

    // While a slow frame is in hand, a second Ctrl+C is answered and a third gives up: the
    // unfinished video goes and the output stays as it was.
    void thirdCtrlCGivesUp() {
        bitmap("big.bmp", 1280, 720, 1);
        writeFile(path("o.avi"), "precious");
        QProcess p;
        p.setWorkingDirectory(dir->path());
        p.start(QStringLiteral(PICREEL_MAKE),
                {"-y", "-c", "cvid", "-f", "3", "big.bmp", "-o", "o.avi"});
        QTRY_VERIFY_WITH_TIMEOUT(!unfinished().isEmpty(), 60000);
        for (int i = 0; i < 3; ++i) {
            ::kill(pid_t(p.processId()), SIGINT);
            QThread::msleep(100); // no events: the end is awaited below
        }
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 131);
        QCOMPARE(p.readAllStandardError(),
                 "picreel-make: finishing the video with the frames written; Ctrl+C once more "
                 "gives up and leaves the output as it was\n"
                 "picreel-make: gave up; the output is as it was\n");
        QCOMPARE(readFile(path("o.avi")), QByteArray("precious"));
        QCOMPARE(unfinished(), QStringList());
    }

    void existingOutputIsKeptWithoutY() {
        bitmap("a.bmp", 32, 32, 1);
        writeFile(path("out.avi"), "precious");

        const Run refused = make({"a.bmp", "-o", "out.avi"});
        QCOMPARE(refused.exitCode, 4);
        QCOMPARE(refused.err, QStringLiteral("picreel-make: out.avi exists; -y replaces it\n"));
        QCOMPARE(readFile(path("out.avi")), QByteArray("precious"));
        QCOMPARE(make({"a.bmp", "-o", "out.avi", "-y", "--quiet"}).exitCode, 0);
        QCOMPARE(probe(path("out.avi"), "stream=nb_frames"), "1");
    }
};

QTEST_GUILESS_MAIN(TestPicreelMake)
#include "tst_picreel_make.moc"
