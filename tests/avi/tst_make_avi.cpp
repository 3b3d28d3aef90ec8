#include "avi_test_support.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "picture/picture_loader.h"
#include "scripted_platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>
#include <optional>

using platform::MsgAnswer;
using platform::MsgBoxRequest;
using platform::MsgButtons;
using platform::MsgIcon;
using namespace mAVIDecs;

namespace {

const MsgBoxRequest abortQuestion{"Do you want to abort?", MsgButtons::YesNo, MsgIcon::Exclamation,
                                  "Make AVI File - Running"};

struct TimingRow {
    const char* fps;
    const char* duration;
    QByteArray rate; // as ffprobe gives it
    int framesPerPicture;
};

// Counts the paints that reach a widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

// The Make command on the real window: the file it writes is decoded by ffmpeg and compared
// with the listed pictures as the program converts them.
class MakeAviTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writesTheListInOrderAtItsTiming_data();
    void writesTheListInOrderAtItsTiming();
    void abortAnsweredNoThenYes();
    void keyOrThumbnailDuringTheJobAsksToAbort_data();
    void keyOrThumbnailDuringTheJobAsksToAbort();
    void eventsRunAndStatusPaintsBeforeEveryFrame();
    void noFileChosenLeavesTheWindowIdle_data();
    void noFileChosenLeavesTheWindowIdle();
    void emptyListBeepsAndStaysIdle();
    void compressionCancelledLeavesAFileWithoutFrames();
    void pictureTooWideForAviEndsInTheErrorBox();
    void checkStopsAtTheFirstPictureItCannotUse_data();
    void checkStopsAtTheFirstPictureItCannotUse();
    void listClearedDuringTheJobKeepsTheVideoLength();
    void pictureRewrittenDuringTheJobIsReadAtItsTurn();
    void shiftDuringTheJobWritesWhatStandsAtEachPosition();
    void failuresEndTheJobWithTheFramesWritten_data();
    void failuresEndTheJobWithTheFramesWritten();
    void timingBoxesCorrectEachOtherWhenLeft_data();
    void timingBoxesCorrectEachOtherWhenLeft();

private:
    // A 24-bit picture file (8-bit for Grayscale8) that differs with the seed.
    QString picture(const QString& name, QSize size, int seed,
                    QImage::Format format = QImage::Format_RGB32);
    void list(const QStringList& paths);
    // Clicks Make with the save dialog answered by `out` (nothing: cancelled).
    void make(std::optional<QString> out);
    // The frames the video must show for these pictures, each repeated `frames` times.
    static QByteArray framesOf(const QStringList& paths, int frames);

    std::unique_ptr<ScriptedPlatform> desktop;
    std::unique_ptr<MyMainForm> form;
    QTemporaryDir dir;
    QString out;
    std::optional<AVI_COMPRESS_OPTIONS> compressor; // nothing: the dialog is cancelled
    int compressionDialogs = 0;
    SaveOptionsDialog previousDialog;
};

void MakeAviTest::init() {
    desktop = std::make_unique<ScriptedPlatform>();
    QDir::setCurrent(dir.path());
    form = std::make_unique<MyMainForm>();
    form->Form_Load();
    out = dir.filePath("movie.avi");
    QFile::remove(out);
    compressor = AVI_COMPRESS_OPTIONS{}; // full frames
    compressionDialogs = 0;
    previousDialog =
        setSaveOptionsDialog([this](QObject*, const SaveOptionsRequest&, AVI_COMPRESS_OPTIONS& o) {
            ++compressionDialogs;
            if (compressor)
                o = *compressor;
            return compressor ? 1 : 0;
        });
}

void MakeAviTest::cleanup() {
    setSaveOptionsDialog(previousDialog);
    form.reset();
    desktop.reset();
}

QString MakeAviTest::picture(const QString& name, QSize size, int seed, QImage::Format format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed * 47 % 360, 200, 220));
    QPainter(&image).fillRect(seed % 5, seed % 3, size.width() / 2, size.height() / 2, Qt::black);
    const QString path = dir.filePath(name);
    image.convertToFormat(format).save(path);
    return path;
}

void MakeAviTest::list(const QStringList& paths) {
    for (const QString& p : paths)
        form->BMPlist->AddItem(p);
    form->RefreshCommandStates(); // as every list edit ends
}

void MakeAviTest::make(std::optional<QString> file) {
    desktop->answerNextFileDialog(file);
    QTest::mouseClick(form->MakeAVI_button, Qt::LeftButton);
}

QByteArray MakeAviTest::framesOf(const QStringList& paths, int frames) {
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

void MakeAviTest::writesTheListInOrderAtItsTiming_data() {
    QTest::addColumn<TimingRow>("row");
    // What the boxes say becomes frames and rate by the timing rules, checked on their own;
    // these rows reach each way the job can take them.
    QTest::newRow("10 / 0.1") << TimingRow{"10", "0.1", "10/1", 1};
    QTest::newRow("0.5 / 2") << TimingRow{"0.5", "2", "1/1", 2};
    QTest::newRow("29.97 / 1") << TimingRow{"29.97", "1", "30/1", 1};
    QTest::newRow("duration 1.5") << TimingRow{"10", "1.5", "10/1", 2};
    QTest::newRow("rate without a number") << TimingRow{"fast", "1", "1/1", 1};
    QTest::newRow("rate beyond 32 bits") << TimingRow{"9e99", "1", "1/1", 1};
    QTest::newRow("duration 0") << TimingRow{"5", "0", "5/1", 0};
    QTest::newRow("duration beyond 32 bits") << TimingRow{"5", "9e99", "5/1", 0};
}

void MakeAviTest::writesTheListInOrderAtItsTiming() {
    QFETCH(TimingRow, row);
    const QStringList pictures{picture("c.bmp", {32, 24}, 1), picture("a.jpg", {32, 24}, 2),
                               picture("b.bmp", {32, 24}, 3)};
    list(pictures);
    form->txtFPS->setText(row.fps);
    form->duration_txtbox->setText(row.duration);
    make(out);

    const platform::CommonDialog& save = desktop->fileDialogs.value(0);
    QCOMPARE(desktop->fileDialogModes.value(0), platform::FileDialogMode::Save);
    QCOMPARE(save.DialogTitle, "Make AVI File");
    QCOMPARE(save.Filter, "AVI Files (*.avi)|*.avi|All files (*.*)|*.*");
    QCOMPARE(save.DefaultExt, "avi");
    QCOMPARE(save.InitDir, desktop->programDir + '/');
    QCOMPARE(save.FileName, "PICREEL.avi");
    QCOMPARE(save.Flags, 4);
    QVERIFY(save.CancelError);
    QCOMPARE(compressionDialogs, 1);

    // ffprobe counts no frames as N/A.
    QCOMPARE(probe(out, "stream=r_frame_rate,nb_read_frames"),
             row.rate + ' ' +
                 (row.framesPerPicture ? QByteArray::number(3 * row.framesPerPicture) : "N/A"));
    if (row.framesPerPicture)
        QCOMPARE(decode(out, true), framesOf(pictures, row.framesPerPicture));
    QCOMPARE(form->lblStatus->text(), " AVI File - Completed");
    QCOMPARE(form->MakeAVI_button->text(), "Make AVI File");
    QCOMPARE(form->BMPlist->ListIndex(), 2);
    // The filmstrip takes its pictures from the job's conversions.
    QCOMPARE(form->Selected_Image->Picture(), picture::LoadPicture(pictures[2]));
    QCOMPARE(form->Previous_image->Picture(), picture::LoadPicture(pictures[1]));
    QVERIFY(form->PlayAVIbutton->isEnabled());
    QCOMPARE(form->PlayAVIbutton->toolTip(), "Play - " + out);
    QCOMPARE(form->MousePointer(), platform::MousePointer::Default);

    QTest::mouseClick(form->PlayAVIbutton, Qt::LeftButton);
    QCOMPARE(desktop->openedDocuments, QStringList{out});
}

// A second Make and a close request during the job reach the same question; No clears the
// request, Yes still writes the frame in hand and leaves a complete file.
void MakeAviTest::abortAnsweredNoThenYes() {
    const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.bmp", {32, 24}, 2)};
    list(pictures);
    form->duration_txtbox->setText("3");
    desktop->onDoEvents = [&] {
        const QString status = form->lblStatus->text();
        if (status == "Frame 1  Picture 1 saved")
            QTest::mouseClick(form->MakeAVI_button, Qt::LeftButton);
        if (status == "Frame 4  Picture 2 saved")
            form->close();
    };
    desktop->answerNextBox(MsgAnswer::No);
    desktop->answerNextBox(MsgAnswer::Yes);
    make(out);

    QCOMPARE(desktop->takeBoxes(), (QList<MsgBoxRequest>{abortQuestion, abortQuestion}));
    QCOMPARE(form->lblStatus->text(), "Aborted");
    QVERIFY(form->AbortRequested);
    QVERIFY(form->isVisible());
    QVERIFY(form->PlayAVIbutton->isEnabled());
    QCOMPARE(form->MakeAVI_button->text(), "Make AVI File");
    const QByteArray expected = framesOf(pictures.mid(0, 1), 3) + framesOf(pictures.mid(1), 2);
    QCOMPARE(decode(out, true), expected);
}

// A key or a press on a thumbnail during the job does nothing but ask to abort: Delete
// removes no entry, the press selects nothing; answered No, the job goes on to the end.
enum class UserAction { DeleteKey, NextThumbnailPress };

void MakeAviTest::keyOrThumbnailDuringTheJobAsksToAbort_data() {
    QTest::addColumn<UserAction>("action");
    QTest::newRow("Delete key") << UserAction::DeleteKey;
    QTest::newRow("press on the next thumbnail") << UserAction::NextThumbnailPress;
}

void MakeAviTest::keyOrThumbnailDuringTheJobAsksToAbort() {
    QFETCH(UserAction, action);
    list({picture("a.bmp", {32, 24}, 1), picture("b.bmp", {32, 24}, 2)});
    form->duration_txtbox->setText("2");
    desktop->onDoEvents = [&] {
        if (form->lblStatus->text() != "Frame 1  Picture 1 saved")
            return;
        if (action == UserAction::DeleteKey)
            QTest::keyClick(form->BMPlist, Qt::Key_Delete);
        else
            QTest::mouseClick(form->Next_image, Qt::LeftButton);
    };
    desktop->answerNextBox(MsgAnswer::No);
    make(out);
    QCOMPARE(desktop->takeBoxes(), QList<MsgBoxRequest>{abortQuestion});
    QCOMPARE(form->lblStatus->text(), " AVI File - Completed");
    QCOMPARE(form->BMPlist->ListCount(), 2);
    QCOMPARE(probe(out, "stream=nb_read_frames"), "4");
}

void MakeAviTest::eventsRunAndStatusPaintsBeforeEveryFrame() {
    list({picture("a.bmp", {8, 8}, 1)});
    form->duration_txtbox->setText("1000");
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    PaintCounter counter;
    form->lblStatus->installEventFilter(&counter);
    QStringList seen; // the status whenever events run
    desktop->onDoEvents = [&] { seen.append(form->lblStatus->text()); };
    make(out);

    QStringList expected{"", ""}; // before the check's picture, before the first frame
    for (int frame = 1; frame < 1000; ++frame)
        expected.append(QString("Frame %1  Picture 1 saved").arg(frame));
    QCOMPARE(seen, expected);
    QVERIFY2(counter.paints >= 1000, qPrintable(QString::number(counter.paints)));
    QCOMPARE(probe(out, "stream=nb_read_frames"), "1000");
}

void MakeAviTest::noFileChosenLeavesTheWindowIdle_data() {
    QTest::addColumn<bool>("existing"); // else the dialog is cancelled
    QTest::newRow("save dialog cancelled") << false;
    QTest::newRow("overwrite refused") << true;
}

void MakeAviTest::noFileChosenLeavesTheWindowIdle() {
    QFETCH(bool, existing);
    list({picture("a.bmp", {32, 24}, 1)});
    const QString before = form->AviFilePath;
    if (existing) {
        QFile f(out);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("keep") == 4);
        desktop->answerNextBox(MsgAnswer::No);
    }
    make(existing ? std::optional(out) : std::nullopt);

    const QList<MsgBoxRequest> overwrite{{out + "\r\nDo you want to Overwrite it ?",
                                          MsgButtons::YesNo, MsgIcon::None,
                                          "Warning - File Already Exists"}};
    QCOMPARE(desktop->takeBoxes(), existing ? overwrite : QList<MsgBoxRequest>());
    QCOMPARE(form->AviFilePath, existing ? out : before);
    QCOMPARE(QFile::exists(out), existing);
    QCOMPARE(QFileInfo(out).size(), existing ? 4 : 0);
    QCOMPARE(form->MakeAVI_button->text(), "Make AVI File");
    QCOMPARE(form->MousePointer(), platform::MousePointer::Default);
    QCOMPARE(form->lblStatus->text(), "");
    QCOMPARE(compressionDialogs, 0);
}

void MakeAviTest::emptyListBeepsAndStaysIdle() {
    desktop->expectOkBoxes(1);
    QMetaObject::invokeMethod(form.get(), [this] { form->MakeAVI_button_Click(); });
    QCOMPARE(desktop->beeps, 1);
    QCOMPARE(desktop->takeBoxes(),
             (QList<MsgBoxRequest>{{"No picture files in list.", MsgButtons::OK, MsgIcon::None,
                                    "Error - Make AVI File"}}));
    QCOMPARE(form->MakeAVI_button->text(), "Make AVI File");
}

void MakeAviTest::compressionCancelledLeavesAFileWithoutFrames() {
    list({picture("a.bmp", {32, 24}, 1)});
    compressor.reset();
    make(out);
    QCOMPARE(compressionDialogs, 1);
    QVERIFY(desktop->boxes.isEmpty());
    QCOMPARE(probe(out, "stream=nb_read_frames"), "N/A"); // readable, no frames
    QVERIFY(!form->PlayAVIbutton->isEnabled());
    QCOMPARE(form->MakeAVI_button->text(), "Make AVI File");
}

// The AVI format cannot hold a side over 32,767 pixels: the stream is refused before the
// compression dialog, the job ends in its one error box, and the layer keeps why.
void MakeAviTest::pictureTooWideForAviEndsInTheErrorBox() {
    list({picture("wide.bmp", {40000, 2}, 1)});
    desktop->expectOkBoxes(1);
    make(out);
    QCOMPARE(compressionDialogs, 0);
    QCOMPARE(desktop->takeBoxes(),
             (QList<MsgBoxRequest>{{"There was an error writing the file.", MsgButtons::OK,
                                    MsgIcon::Information, "picreel"}}));
    const QString reason = mAVIDecs::AVILastErrorText();
    QVERIFY2(reason.contains("32,767"), qPrintable(reason));
    QVERIFY(!form->PlayAVIbutton->isEnabled());
    QCOMPARE(form->MakeAVI_button->text(), "Make AVI File");
}

// The check converts every picture as the job will and names the first one that does not
// fit the first picture; later pictures are not looked at.
void MakeAviTest::checkStopsAtTheFirstPictureItCannotUse_data() {
    QTest::addColumn<QString>("second"); // what the second of three pictures is
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("prompt"); // %1: the second picture's path
    QTest::addColumn<QString>("status");
    const QString different =
        "This picture file (%1) is a different size or colour depth.\r\n"
        "NB: The first picture file in the list sets the frame size and color depth of the "
        "AVI.\r\n\r\nHint: Try preparing your pictures using SIZEMATE.EXE first.";
    QTest::newRow("wider") << "wider"
                           << "Warning - Picture Format is Different" << different << "";
    QTest::newRow("removed") << "removed"
                             << "Error - Make AVI File"
                             << "This picture file (%1) could not be converted.\r\n%1: "
                             << "";
    QTest::newRow("abort") << "alike"
                           << "Make AVI File - Running"
                           << "Do you want to abort?"
                           << "Aborted";
}

void MakeAviTest::checkStopsAtTheFirstPictureItCannotUse() {
    QFETCH(QString, second);
    QFETCH(QString, title);
    QFETCH(QString, prompt);
    QFETCH(QString, status);
    const QString b = picture("b.bmp", {second == "wider" ? 34 : 32, 24}, 2);
    list({picture("a.jpg", {32, 24}, 1), b, picture("c.bmp", {40, 40}, 3)});
    if (second == "removed")
        QFile::remove(b);
    if (second == "alike")
        desktop->onDoEvents = [&] { form->AbortRequested = true; };
    desktop->answerNextBox(second == "alike" ? MsgAnswer::Yes : MsgAnswer::OK);
    QTest::mouseClick(form->MakeAVI_button, Qt::LeftButton); // a save dialog would fail here

    const QList<MsgBoxRequest> boxes = desktop->takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, title);
    QVERIFY2(boxes[0].prompt.startsWith(prompt.arg(b)), qPrintable(boxes[0].prompt));
    QCOMPARE(boxes[0].buttons, second == "alike" ? MsgButtons::YesNo : MsgButtons::OK);
    QCOMPARE(form->lblStatus->text(), status);
    QCOMPARE(form->FirstPictureFormat, (picture::PictureFormat{32, 24, 24}));
    QCOMPARE(form->MakeAVI_button->text(), "Make AVI File");
    QCOMPARE(form->MousePointer(), platform::MousePointer::Default);
}

// The job reads entries by position: after the list is emptied, the remaining frames come
// from the picture in hand, so the video keeps its length.
void MakeAviTest::listClearedDuringTheJobKeepsTheVideoLength() {
    const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.bmp", {32, 24}, 2),
                               picture("c.bmp", {32, 24}, 3)};
    list(pictures);
    form->duration_txtbox->setText("2");
    desktop->onDoEvents = [&] {
        if (form->lblStatus->text() == "Frame 3  Picture 2 saved")
            form->BMPlist->Clear();
    };
    make(out);
    QCOMPARE(form->lblStatus->text(), " AVI File - Completed");
    QCOMPARE(decode(out, true), framesOf(pictures.mid(0, 2), 2) + framesOf(pictures.mid(1, 1), 2));
}

// Shift down still moves the entry in hand during the job; the job then writes whatever
// stands at each later position: b, in hand, is written again in c's place.
void MakeAviTest::shiftDuringTheJobWritesWhatStandsAtEachPosition() {
    const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.jpg", {32, 24}, 2),
                               picture("c.bmp", {32, 24}, 3)};
    list(pictures);
    desktop->onDoEvents = [&] {
        if (form->lblStatus->text() == "Frame 1  Picture 1 saved")
            QTest::mouseClick(form->DownButton, Qt::LeftButton);
    };
    make(out);
    QCOMPARE(form->lblStatus->text(), " AVI File - Completed");
    QCOMPARE(form->BMPlist->List(2), pictures[1]);
    QCOMPARE(decode(out, true), framesOf({pictures[0], pictures[1], pictures[1]}, 1));
}

// Pictures are converted ahead of their turn; one rewritten meanwhile still reaches the
// video, the picture holder and the temporary Bitmap as it is at its turn.
void MakeAviTest::pictureRewrittenDuringTheJobIsReadAtItsTurn() {
    const QStringList pictures{picture("a.bmp", {32, 24}, 1), picture("b.jpg", {32, 24}, 2),
                               picture("c.jpg", {32, 24}, 3)};
    list(pictures);
    desktop->onDoEvents = [&] {
        if (form->lblStatus->text() == "Frame 1  Picture 1 saved") {
            QTest::qWait(100); // the pictures after it are converted by now
            picture("c.jpg", {32, 24}, 4);
        }
    };
    make(out);
    QCOMPARE(form->lblStatus->text(), " AVI File - Completed");
    QCOMPARE(decode(out, true), framesOf(pictures, 1));
    QCOMPARE(form->TempImage->Picture(), picture::LoadPicture(pictures[2]));
    const QString temp = desktop->windowsDir + "/TEMP/$T$.bmp";
    QCOMPARE(QImage(temp).convertToFormat(QImage::Format_RGB32), picture::LoadPicture(pictures[2]));
}

// A full disk, or a temporary Bitmap that can no longer be written, ends the job with one
// box; the file is complete up to the last frame written.
void MakeAviTest::failuresEndTheJobWithTheFramesWritten_data() {
    QTest::addColumn<bool>("fullDisk"); // else the temporary Bitmap breaks
    QTest::addColumn<QString>("prompt");
    QTest::newRow("full disk") << true << "There was an error writing the file.";
    QTest::newRow("temporary Bitmap") << false
                                      << "This picture file (%1) could not be "
                                         "converted.\r\n";
}

void MakeAviTest::failuresEndTheJobWithTheFramesWritten() {
    QFETCH(bool, fullDisk);
    QFETCH(QString, prompt);
    const QStringList pictures{picture("a.bmp", {64, 48}, 1), picture("b.bmp", {64, 48}, 2)};
    list(pictures);
    form->duration_txtbox->setText("4");
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit limit{fullDisk ? 40000 : before.rlim_cur, before.rlim_max}; // within picture 1
    setrlimit(RLIMIT_FSIZE, &limit);
    desktop->onDoEvents = [&] {
        const QString temp = desktop->windowsDir + "/TEMP/$T$.bmp";
        if (!fullDisk && form->lblStatus->text() == "Frame 1  Picture 1 saved") {
            QFile::remove(temp);
            QDir().mkpath(temp); // a folder where the Bitmap goes
        }
    };
    desktop->expectOkBoxes(1);
    make(out);
    setrlimit(RLIMIT_FSIZE, &before);
    const QString status = form->lblStatus->text();
    const int written = status.section(' ', 1, 1).toInt();

    const QList<MsgBoxRequest> boxes = desktop->takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].prompt.startsWith(prompt.arg(pictures[1])), qPrintable(boxes[0].prompt));
    QCOMPARE(boxes[0].icon, fullDisk ? MsgIcon::Information : MsgIcon::Exclamation);
    QCOMPARE(status, QString("Frame %1  Picture 1 saved").arg(written));
    QVERIFY(fullDisk ? written >= 1 && written < 4 : written == 4);
    QCOMPARE(decode(out, true), framesOf(pictures.mid(0, 1), written));
    QVERIFY(!form->PlayAVIbutton->isEnabled());
    QCOMPARE(form->MakeAVI_button->text(), "Make AVI File");
}

// Texts after leaving a box for the other box or a button (focus moves as the user's Tab
// or click moves it).
void MakeAviTest::timingBoxesCorrectEachOtherWhenLeft_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("fps");
    QTest::addColumn<QString>("duration");
    const auto row = [](const char* box, const char* typed, const char* fps, const char* dur) {
        QTest::addRow("%s %s", box, typed) << box << typed << fps << dur;
    };
    // Each box's limits, whole values and four decimals, nothing to divide (zero, negative, no
    // number), no limit on the duration the fps box sets.
    row("fps", "45", "30", "0.0333");
    row("fps", "0.3", "0.3", "3");
    row("fps", "7", "7", "0.1429");
    row("fps", "0", "0", "7");
    row("fps", "0.01", "0.01", "100");
    row("fps", "0.5", "0.5", "2");
    row("fps", "4", "4", "0.25");
    row("fps", "3", "3", "0.3333");
    row("fps", "-2", "-2", "7");
    row("fps", ".", ".", "7"); // letters never reach the box: a number-less text
    row("duration", "0.01", "30", "0.0333");
    row("duration", "150", "0.0101", "99");
    row("duration", "2", "0.5", "2");
    row("duration", "0.04", "25", "0.04");
}

void MakeAviTest::timingBoxesCorrectEachOtherWhenLeft() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, fps);
    QFETCH(QString, duration);
    QLineEdit* left = box == "fps" ? form->txtFPS : form->duration_txtbox;
    QLineEdit* other = box == "fps" ? form->duration_txtbox : form->txtFPS;
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    other->setText("7");
    left->setFocus();
    left->selectAll();
    QTest::keyClicks(left, typed);

    // Leaving the window, or text set from code, corrects nothing.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QCOMPARE(left->text(), typed);
    QCOMPARE(other->text(), "7");
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));

    // Into the other box when typed into the fps box; to a button from the duration box.
    if (box == "fps")
        QTest::keyClick(left, Qt::Key_Tab);
    else
        QTest::mouseClick(form->DesktopButton, Qt::LeftButton);
    QCOMPARE(form->txtFPS->text(), fps);
    QCOMPARE(form->duration_txtbox->text(), duration);
}

QTEST_MAIN(MakeAviTest)
#include "tst_make_avi.moc"
