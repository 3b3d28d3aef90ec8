#include "avi_test_support.h"
#include "form_driving.h"
#include "makeavi/compression_dialog.h"
#include "picture/picture_loader.h"
#include "started_form.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>

#include <optional>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

using platform::MsgAnswer;
using platform::MsgBoxRequest;
using platform::MsgButtons;
using platform::MsgIcon;
using namespace mAVIDecs;

namespace {

const MsgBoxRequest abortQuestion{"Do you want to abort?", MsgButtons::YesNo, MsgIcon::Exclamation,
                                  "Make AVI File - Running"};
const MsgBoxRequest writeError{"There was an error writing the file.", MsgButtons::OK,
                               MsgIcon::Information, "picreel"};

struct TimingRow {
    QString fps = {};
    QString duration = {};
    QByteArray probed = {}; // rate and frame count as ffprobe gives them
    int framesPerPicture = 0;
};

// What the second of three pictures is when the check runs.
enum class Second { Wider, Removed, Alike, Cleared };

struct CheckRow {
    Second second = Second::Alike;
    MsgAnswer answer = MsgAnswer::OK;
    QString title = {};
    QString prompt = {}; // the start of it; %1: the second picture's path
    MsgButtons buttons = MsgButtons::OK;
    QString status = {};
};

// Tells when a file has been read through (opened for reading and closed) by any thread of
// the process since the watch began: a worker's conversion shows itself here without the test
// knowing how the work is shared out.
class ReadWatch {
public:
    explicit ReadWatch(const QString& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_CLOSE_NOWRITE);
    }
    ~ReadWatch() { ::close(fd_); }
    ReadWatch(const ReadWatch&) = delete;
    ReadWatch& operator=(const ReadWatch&) = delete;

    // Blocks until the file has been read, at most `ms`; false when it was not.
    bool waitForRead(int ms) {
        QDeadlineTimer deadline(ms);
        while (!read_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, int(deadline.remainingTime())) <= 0)
                return false;
            char events[4096];
            read_ = ::read(fd_, events, sizeof events) > 0;
        }
        return true;
    }

private:
    int fd_;
    bool read_ = false;
};

} // namespace

// The Make command on the real window: the file it writes is decoded by ffmpeg and compared
// with the listed pictures as the program converts them.
class MakeAviTest : public QObject, WithStartedForm {
    Q_OBJECT

private slots:
    void init() {
        started.emplace();
        out = started->path("movie.avi");
        compressor = AVI_COMPRESS_OPTIONS{}; // full frames
        compressionDialogs = 0;
        previousDialog = setSaveOptionsDialog(
            [this](QObject*, const SaveOptionsRequest&, AVI_COMPRESS_OPTIONS& o) {
                ++compressionDialogs;
                if (compressor)
                    o = *compressor;
                return compressor ? 1 : 0;
            });
    }

    void cleanup() {
        setSaveOptionsDialog(previousDialog);
        started.reset();
    }

    // What the boxes say becomes frames and rate by the timing rules, checked on their own; these
    // rows reach each way the job takes them: the rate from one box, frames from the other, and
    // no frames at all when the duration does not fit.
    void writesTheListInOrderAtItsTiming_data() {
        QTest::addColumn<TimingRow>("row");
        QTest::newRow("10 / 0.1") << TimingRow{
            .fps = "10", .duration = "0.1", .probed = "10/1 3", .framesPerPicture = 1};
        QTest::newRow("0.5 / 2") << TimingRow{
            .fps = "0.5", .duration = "2", .probed = "1/1 6", .framesPerPicture = 2};
        QTest::newRow("duration beyond 32 bits") << TimingRow{
            .fps = "5", .duration = "9e99", .probed = "5/1 N/A", .framesPerPicture = 0};
    }

    void writesTheListInOrderAtItsTiming() {
        QFETCH(TimingRow, row);
        const QStringList pictures{picture("c.bmp", {32, 24}, 1), picture("a.jpg", {32, 24}, 2),
                                   picture("b.bmp", {32, 24}, 3)};
        list(pictures);
        ui().txtFPS->setText(row.fps);
        ui().duration_txtbox->setText(row.duration);
        make(out);

        // The dialog proposes the file beside the program.
        QCOMPARE(desktop().fileDialogModes.value(0), platform::FileDialogMode::Save);
        QCOMPARE(desktop().fileDialogs.value(0).InitDir, desktop().programDir + '/');
        QCOMPARE(desktop().fileDialogs.value(0).FileName, "PICREEL.avi");
        QCOMPARE(compressionDialogs, 1);

        QCOMPARE(probe(out, "stream=r_frame_rate,nb_read_frames"), row.probed);
        QCOMPARE(decode(out, true), framesOf(pictures, row.framesPerPicture));
        QCOMPARE(status(), " AVI File - Completed");
        QCOMPARE(ui().MakeAVI_button->text(), "Make AVI File");
        QCOMPARE(ui().BMPlist->ListIndex(), 2);
        // The filmstrip takes its pictures from the job's conversions.
        QCOMPARE(ui().Selected_Image->Picture(), picture::LoadPicture(pictures[2]));
        QCOMPARE(ui().Previous_image->Picture(), picture::LoadPicture(pictures[1]));
        QVERIFY(ui().PlayAVIbutton->isEnabled());
        QCOMPARE(ui().PlayAVIbutton->toolTip(), "Play - " + out);
        QCOMPARE(w().MousePointer(), platform::MousePointer::Default);

        QTest::mouseClick(ui().PlayAVIbutton, Qt::LeftButton);
        QCOMPARE(desktop().openedDocuments, QStringList{out});
    }

    // A second Make and a close request during the job reach the same question; No clears the
    // request, Yes still writes the frame in hand and leaves a complete file.
    void abortAnsweredNoThenYes() {
        const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.bmp", {32, 24}, 2)};
        list(pictures);
        ui().duration_txtbox->setText("3");
        desktop().onDoEvents = [&] {
            if (status() == "Frame 1  Picture 1 saved")
                QTest::mouseClick(ui().MakeAVI_button, Qt::LeftButton);
            if (status() == "Frame 4  Picture 2 saved")
                w().close();
        };
        desktop().answerNextBox(MsgAnswer::No);
        desktop().answerNextBox(MsgAnswer::Yes);
        make(out);

        QCOMPARE(desktop().takeBoxes(), (QList<MsgBoxRequest>{abortQuestion, abortQuestion}));
        QCOMPARE(status(), "Aborted");
        QVERIFY(w().abortRequested());
        QVERIFY(w().isVisible());
        QVERIFY(ui().PlayAVIbutton->isEnabled());
        const QByteArray expected = framesOf(pictures.mid(0, 1), 3) + framesOf(pictures.mid(1), 2);
        QCOMPARE(decode(out, true), expected);
    }

    // The Enter that confirms the compression dialog goes up in the window the job has made
    // busy: that is no request to stop.
    void enterThatConfirmedTheDialogStopsNothing() {
        list({picture("a.bmp", {32, 24}, 1), picture("b.bmp", {32, 24}, 2)});
        bool confirmed = false;
        setSaveOptionsDialog(
            [&](QObject* owner, const SaveOptionsRequest& r, AVI_COMPRESS_OPTIONS& o) {
                QTimer::singleShot(0, [] {
                    QWidget* dialog = QApplication::activeModalWidget();
                    QTest::keyPress(dialog->focusWidget() ? dialog->focusWidget() : dialog,
                                    Qt::Key_Return);
                });
                const std::int32_t answer = CompressionDialog::run(owner, r, o);
                confirmed = answer == 1;
                return answer;
            });
        bool released = false;
        desktop().onDoEvents = [&] {
            if (confirmed && !released) {
                QTest::keyRelease(w().focusWidget() ? w().focusWidget() : &w(), Qt::Key_Return);
                released = true;
            }
        };
        make(out); // a question nobody answers fails the test

        QVERIFY(released);
        QCOMPARE(status(), " AVI File - Completed");
        QVERIFY(!w().abortRequested());
    }

    // The session ending during a job: the frame in hand is written without a question, the
    // file is kept complete, and the window closes once the job has ended.
    void endRequestStopsTheJobWithoutAskingThenCloses() {
        const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.bmp", {32, 24}, 2)};
        list(pictures);
        ui().duration_txtbox->setText("3");
        desktop().onDoEvents = [&] {
            if (status() == "Frame 2  Picture 1 saved")
                w().endByRequest();
        };
        make(out); // a question nobody answers fails the test

        QCOMPARE(status(), "Aborted");
        QCOMPARE(decode(out, true), framesOf(pictures.mid(0, 1), 3));
        QVERIFY(!w().isVisible());
    }

    void eventsRunAndStatusPaintsBeforeEveryFrame() {
        list({picture("a.bmp", {8, 8}, 1)});
        ui().duration_txtbox->setText("1000");
        QVERIFY(QTest::qWaitForWindowExposed(&w()));
        PaintLog paints(ui().lblStatus, [] { return QString(); });
        QStringList seen;    // the status whenever events run
        QList<int> filmTops; // and where the film strip stands then
        desktop().onDoEvents = [&] {
            seen.append(status());
            filmTops.append(ui().FilmImage->y());
        };
        make(out);

        QStringList expected{"", ""}; // before the check's picture, before the first frame
        for (int frame = 1; frame < 1000; ++frame)
            expected.append(QString("Frame %1  Picture 1 saved").arg(frame));
        QCOMPARE(seen, expected);
        // The strip steps down one sprocket every three frames or so, and back every nine.
        QCOMPARE(filmTops.mid(0, 10), (QList<int>{-10, -10, -16, -8, -8, -8, 0, 0, 0, -16}));
        QCOMPARE_GE(paints.seen.size(), 1000);
    }

    // The save dialog cancelled, then an existing file not to be overwritten: no compression
    // dialog, nothing written, the window idle again.
    void noFileChosenLeavesTheWindowIdle() {
        list({picture("a.bmp", {32, 24}, 1)});
        const QString proposed = w().aviFilePath();
        make(std::nullopt); // a box nobody answers fails the test
        QCOMPARE(w().aviFilePath(), proposed);
        QVERIFY(!QFile::exists(out));

        writeBytes(started->path(""), "movie.avi", "keep");
        desktop().answerNextBox(MsgAnswer::No);
        make(out);
        QCOMPARE(
            desktop().takeBoxes(),
            (QList<MsgBoxRequest>{{out + "\r\nDo you want to Overwrite it ?", MsgButtons::YesNo,
                                   MsgIcon::None, "Warning - File Already Exists"}}));
        QCOMPARE(w().aviFilePath(), out);
        QCOMPARE(QFileInfo(out).size(), 4);
        QCOMPARE(status(), "");
        QCOMPARE(compressionDialogs, 0);
    }

    void emptyListBeepsAndStaysIdle() {
        desktop().expectOkBoxes(1);
        w().MakeAVI_button_Click(); // the button is disabled
        QCOMPARE(desktop().beeps, 1);
        QCOMPARE(desktop().takeBoxes(),
                 (QList<MsgBoxRequest>{{"No picture files in list.", MsgButtons::OK, MsgIcon::None,
                                        "Error - Make AVI File"}}));
        QCOMPARE(ui().MakeAVI_button->text(), "Make AVI File");
    }

    // A cancel in the compression dialog leaves the file the user already had exactly as it
    // was, even after saying Yes to overwriting it, and makes no file of a new name.
    void compressionCancelledLeavesTheFolderAsItWas() {
        list({picture("a.bmp", {32, 24}, 1)});
        writeBytes(started->path(""), "movie.avi", "keep");
        const auto folder = [this] {
            return QDir(started->path("")).entryList(QDir::AllEntries | QDir::Hidden);
        };
        const QStringList before = folder();
        compressor.reset();
        desktop().answerNextBox(MsgAnswer::Yes);
        make(out);
        make(started->path("new.avi"));
        QCOMPARE(compressionDialogs, 2);
        QCOMPARE(desktop().takeBoxes().size(), 1); // the overwrite question
        QCOMPARE(readFile(out), QByteArray("keep"));
        QCOMPARE(folder(), before);
        QVERIFY(!ui().PlayAVIbutton->isEnabled());
    }

    // A stream the AVI format cannot hold is refused before the compression dialog; the job
    // ends in its one error box, and the file it was to replace stays as it was.
    void pictureTooWideForAviEndsInTheErrorBox() {
        list({picture("wide.bmp", {40000, 2}, 1)});
        writeBytes(started->path(""), "movie.avi", "keep");
        desktop().answerNextBox(MsgAnswer::Yes);
        desktop().expectOkBoxes(1);
        make(out);
        QCOMPARE(compressionDialogs, 0);
        QCOMPARE(desktop().takeBoxes().mid(1), QList{writeError});
        QCOMPARE(readFile(out), QByteArray("keep"));
        QVERIFY(!ui().PlayAVIbutton->isEnabled());
    }

    // Saving the video as one of the listed pictures, by any spelling or link, is refused where
    // the overwrite question would come; the picture and the window stay as they were.
    void outputThatIsAListedPictureIsRefused() {
        const QString listed = picture("a.bmp", {32, 24}, 1);
        list({listed});
        const QByteArray before = readFile(listed);
        QVERIFY(QFile::link(listed, out));
        desktop().expectOkBoxes(1);
        make(out);
        QCOMPARE(desktop().takeBoxes(),
                 (QList<MsgBoxRequest>{{out + "\r\nis a picture in the list. Choose another name "
                                              "for the AVI file.",
                                        MsgButtons::OK, MsgIcon::Exclamation,
                                        "Warning - File Is In The List"}}));
        QCOMPARE(compressionDialogs, 0);
        QCOMPARE(readFile(listed), before);
        QCOMPARE(ui().MakeAVI_button->text(), "Make AVI File");
    }

    // The check converts every picture as the job will and names the first one that does not
    // fit the first picture; the third, larger still, is not looked at.
    void checkStopsAtTheFirstPictureItCannotUse_data() {
        QTest::addColumn<CheckRow>("row");
        QTest::newRow("wider") << CheckRow{
            .second = Second::Wider,
            .title = "Warning - Picture Format is Different",
            .prompt = "This picture file (%1) is a different size or colour depth.\r\n"};
        QTest::newRow("removed") << CheckRow{
            .second = Second::Removed,
            .title = "Error - Make AVI File",
            .prompt = "This picture file (%1) could not be converted.\r\n%1: "};
        // Events run while the check goes down the list: an abort request stops it too.
        QTest::newRow("abort") << CheckRow{.second = Second::Alike,
                                           .answer = MsgAnswer::Yes,
                                           .title = "Make AVI File - Running",
                                           .prompt = "Do you want to abort?",
                                           .buttons = MsgButtons::YesNo,
                                           .status = "Aborted"};
        // Clear all, which a job does not refuse, empties the list under the check: that ends
        // it as an abort does, with no picture to blame.
        QTest::newRow("cleared") << CheckRow{.second = Second::Cleared,
                                             .answer = MsgAnswer::Yes,
                                             .title = "Clear All pictures from list",
                                             .prompt = "Are you Sure ?",
                                             .buttons = MsgButtons::YesNo,
                                             .status = "Aborted"};
    }

    void checkStopsAtTheFirstPictureItCannotUse() {
        QFETCH(CheckRow, row);
        const QString a = picture("a.jpg", {32, 24}, 1);
        const QString b = picture("b.bmp", {32, 24}, 2);
        list({a, b, picture("c.bmp", {40, 40}, 3)});
        if (row.second == Second::Wider)
            picture("b.bmp", {34, 24}, 2);
        if (row.second == Second::Removed)
            QFile::remove(b);
        if (row.second == Second::Alike)
            desktop().onDoEvents = [this] { w().requestAbort(); };
        if (row.second == Second::Cleared)
            desktop().onDoEvents = [this] { ui().item("ClearALLmenu")->trigger(); };
        desktop().answerNextBox(row.answer);
        QTest::mouseClick(ui().MakeAVI_button, Qt::LeftButton); // a save dialog would fail here

        const QList<MsgBoxRequest> boxes = desktop().takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, row.title);
        QVERIFY2(boxes[0].prompt.startsWith(row.prompt.arg(b)), qPrintable(boxes[0].prompt));
        QCOMPARE(boxes[0].buttons, row.buttons);
        QCOMPARE(status(), row.status);
        QCOMPARE(w().firstPictureFormat(), (picture::PictureFormat{32, 24, 24}));
        QCOMPARE(w().MousePointer(), platform::MousePointer::Default);
    }

    // The job reads entries by position: after the list is emptied, the remaining frames come
    // from the picture in hand, so the video keeps its length.
    void listClearedDuringTheJobKeepsTheVideoLength() {
        const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.bmp", {32, 24}, 2),
                                   picture("c.bmp", {32, 24}, 3)};
        list(pictures);
        ui().duration_txtbox->setText("2");
        desktop().onDoEvents = [&] {
            if (status() == "Frame 3  Picture 2 saved")
                ui().BMPlist->Clear();
        };
        make(out);
        QCOMPARE(status(), " AVI File - Completed");
        QCOMPARE(decode(out, true),
                 framesOf(pictures.mid(0, 2), 2) + framesOf(pictures.mid(1, 1), 2));
    }

    // Pictures are converted ahead of their turn; one rewritten meanwhile still reaches the
    // video, the picture holder and the temporary Bitmap as it is at its turn.
    void pictureRewrittenDuringTheJobIsReadAtItsTurn() {
        const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.jpg", {32, 24}, 2),
                                   picture("c.jpg", {32, 24}, 3)};
        list(pictures);
        ReadWatch readOfC(pictures[2]);
        bool rewritten = false;
        desktop().onDoEvents = [&] {
            if (status() == "Frame 1  Picture 1 saved" && !rewritten) {
                // c has been converted from what it was before it is rewritten; its new
                // stamp differs even within one tick of the file clock.
                QVERIFY(readOfC.waitForRead(10000));
                const QDateTime before = QFileInfo(pictures[2]).lastModified();
                picture("c.jpg", {32, 24}, 4);
                QFile c(pictures[2]);
                QVERIFY(c.open(QIODevice::ReadWrite));
                QVERIFY(c.setFileTime(before.addSecs(1), QFileDevice::FileModificationTime));
                rewritten = true;
            }
        };
        make(out);
        QCOMPARE(status(), " AVI File - Completed");
        QCOMPARE(decode(out, true), framesOf(pictures, 1));
        QCOMPARE(ui().TempImage->Picture(), picture::LoadPicture(pictures[2]));
        const QString temp = desktop().windowsDir + "/TEMP/$T$.bmp";
        QCOMPARE(QImage(temp).convertToFormat(QImage::Format_RGB32),
                 picture::LoadPicture(pictures[2]));
    }

    // Shift down still moves the entry in hand during the job; the job then writes whatever
    // stands at each later position: b, in hand, is written again in c's place.
    void shiftDuringTheJobWritesWhatStandsAtEachPosition() {
        const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.jpg", {32, 24}, 2),
                                   picture("c.bmp", {32, 24}, 3)};
        list(pictures);
        desktop().onDoEvents = [&] {
            if (status() == "Frame 1  Picture 1 saved")
                QTest::mouseClick(ui().DownButton, Qt::LeftButton);
        };
        make(out);
        QCOMPARE(status(), " AVI File - Completed");
        QCOMPARE(ui().BMPlist->List(2), pictures[1]);
        QCOMPARE(decode(out, true), framesOf({pictures[0], pictures[1], pictures[1]}, 1));
    }

    // A full disk ends the job in the error box, with a file complete up to the last frame
    // written.
    void fullDiskEndsTheJobWithTheFramesWritten() {
        const QStringList pictures{picture("a.bmp", {64, 48}, 1), picture("b.bmp", {64, 48}, 2)};
        list(pictures);
        ui().duration_txtbox->setText("4");
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit limit{40000, before.rlim_max}; // within the first picture's frames
        setrlimit(RLIMIT_FSIZE, &limit);
        desktop().expectOkBoxes(1);
        make(out);
        setrlimit(RLIMIT_FSIZE, &before);

        QCOMPARE(desktop().takeBoxes(), QList{writeError});
        QCOMPARE(status(), "Frame 2  Picture 1 saved");
        QCOMPARE(decode(out, true), framesOf(pictures.mid(0, 1), 2));
        QVERIFY(!ui().PlayAVIbutton->isEnabled());
    }

    // A temporary Bitmap that can no longer be written ends the job at the next picture, with
    // one box naming it; the file keeps the frames written before.
    void brokenTemporaryBitmapEndsTheJobWithTheFramesWritten() {
        const QStringList pictures{picture("a.bmp", {64, 48}, 1), picture("b.bmp", {64, 48}, 2)};
        list(pictures);
        ui().duration_txtbox->setText("4");
        desktop().onDoEvents = [&] {
            const QString temp = desktop().windowsDir + "/TEMP/$T$.bmp";
            if (status() == "Frame 1  Picture 1 saved") {
                QFile::remove(temp);
                QDir().mkpath(temp); // a folder where the Bitmap goes
            }
        };
        desktop().expectOkBoxes(1);
        make(out);

        const QList<MsgBoxRequest> boxes = desktop().takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].prompt.startsWith("This picture file (" + pictures[1] +
                                            ") could not be converted.\r\n"),
                 qPrintable(boxes[0].prompt));
        QCOMPARE(boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(status(), "Frame 4  Picture 1 saved");
        QCOMPARE(decode(out, true), framesOf(pictures.mid(0, 1), 4));
        QVERIFY(!ui().PlayAVIbutton->isEnabled());
    }

    // Leaving a timing box for another control of the window, by Tab or by a click, corrects
    // the two boxes; leaving the window, or text set from code, corrects nothing. What each
    // correction is, is the timing rules' own test.
    void timingBoxesCorrectedWhenLeftForAnotherControl() {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        ui().duration_txtbox->setText("7");
        ui().txtFPS->setFocus();
        ui().txtFPS->selectAll();
        QTest::keyClicks(ui().txtFPS, "45");

        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QCOMPARE(ui().txtFPS->text(), "45");
        QCOMPARE(ui().duration_txtbox->text(), "7");
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));

        QTest::keyClick(ui().txtFPS, Qt::Key_Tab);
        QCOMPARE(ui().txtFPS->text(), "30");
        QCOMPARE(ui().duration_txtbox->text(), "0.0333");

        ui().duration_txtbox->selectAll();
        QTest::keyClicks(ui().duration_txtbox, "2");
        QTest::mouseClick(ui().DesktopButton, Qt::LeftButton);
        QCOMPARE(ui().txtFPS->text(), "0.5");
        QCOMPARE(ui().duration_txtbox->text(), "2");
    }

private:
    // A picture file that differs with the seed.
    QString picture(const QString& name, QSize size, int seed) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(seed * 47 % 360, 200, 220));
        QPainter(&image).fillRect(seed % 5, seed % 3, size.width() / 2, size.height() / 2,
                                  Qt::black);
        const QString path = started->path(name);
        image.save(path);
        return path;
    }

    void list(const QStringList& paths) {
        for (const QString& p : paths)
            ui().BMPlist->AddItem(p);
        w().RefreshCommandStates(); // as every list edit ends
    }
    // Clicks Make with the save dialog answered by `file` (nothing: cancelled).
    void make(std::optional<QString> file) {
        desktop().answerNextFileDialog(file);
        QTest::mouseClick(ui().MakeAVI_button, Qt::LeftButton);
    }
    // The frames the video must show for these pictures, each repeated `frames` times.
    static QByteArray framesOf(const QStringList& paths, int frames) {
        QByteArray all;
        for (const QString& p : paths) {
            const QImage bgr = picture::LoadPicture(p).convertToFormat(QImage::Format_BGR888);
            QByteArray one;
            for (int y = 0; y < bgr.height(); ++y)
                one.append(reinterpret_cast<const char*>(bgr.constScanLine(y)), bgr.width() * 3);
            all += one.repeated(frames);
        }
        return all;
    }
    // The status the job last showed.
    QString status() { return ui().lblStatus->text(); }

    QString out;
    std::optional<AVI_COMPRESS_OPTIONS> compressor; // nothing: the dialog is cancelled
    int compressionDialogs = 0;
    SaveOptionsDialog previousDialog;
};

QTEST_MAIN(MakeAviTest)
#include "tst_make_avi.moc"
