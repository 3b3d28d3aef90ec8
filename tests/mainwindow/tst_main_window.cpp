#include "controls/mouse_args.h"
#include "form_driving.h"
#include "started_form.h"

#include <QMenuBar>
#include <QScreen>
#include <QSemaphore>
#include <QThreadPool>

#include <unistd.h>

namespace {

qint64 residentBytes() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

QStringList namesOf(const QList<QAction*>& actions) {
    QStringList names;
    for (const QAction* a : actions)
        names << a->objectName();
    return names;
}

enum class Target { List, PreviousImage, SelectedImage, NextImage };

struct PressRow {
    int selected = -1;
    Target target = Target::List;
    int listRow = 0; // where on the list a press lands
    Qt::MouseButtons buttons = Qt::LeftButton;
    int selectedAfter = -1;
    QString previewed = {}; // the picture the full-size window shows, "" when closed
};

} // namespace

class MainWindowTest : public QObject, WithStartedForm {
    Q_OBJECT

private slots:
    // p0.bmp .. p2.bmp, 40 to 42 pixels wide (narrower than a thumbnail, so that the width
    // tells which one shows), all listed, none selected.
    void init() {
        started.emplace(Setting{.pictures = {{.name = "p0.bmp", .size = {40, 480}},
                                             {.name = "p1.bmp", .size = {41, 480}},
                                             {.name = "p2.bmp", .size = {42, 480}}}});
        for (const QString& p : started->paths)
            ui().BMPlist->AddItem(p);
    }
    void cleanup() { started.reset(); }

    // The rest of the program, and a user's tools, reach controls and menu items by name; each
    // menu lists its items in the designed order.
    void controlsAndMenuItemsByName() {
        for (const char* name : {"Label1", "lblfps", "Duration_label", "Previous_image_label",
                                 "Selected_image_label", "Next_image_label", "Line1"})
            controlOf<QWidget>(w(), name); // the rest are looked up by every FormControls

        QCOMPARE(namesOf(w().menuBar()->actions()),
                 (QStringList{"FileMenu", "BitmapMenu", "AVImenu", "HelpMenu"}));
        QCOMPARE(namesOf(ui().menu("FileMenu")->actions()),
                 (QStringList{"OpenMenu", "SaveMenu", "MenuLineBreak1", "DeskTopMenuItem",
                              "MenuLineBreak2", "ExitMenu"}));
        QCOMPARE(namesOf(ui().menu("BitmapMenu")->actions()),
                 (QStringList{"AddBMPmenu", "InsertMenu", "AddAllMenu", "LineBreak1Menu",
                              "RemoveMenu", "NoDuplicatesMenu", "ClearALLmenu", "LineBreak2Menu",
                              "SHiftUpMenu", "ShiftDownMenu", "LineBreak3Menu", "PreviewMenu"}));
        QCOMPARE(namesOf(ui().menu("AVImenu")->actions()),
                 (QStringList{"MakeAVImenu", "PlayAVImenu"}));
        QCOMPARE(namesOf(ui().menu("HelpMenu")->actions()),
                 (QStringList{"TipsMenu", "FernquillMenu", "AboutMenu"}));
    }

    // Started in a folder without pictures: nothing to add, nothing listed, nothing previewed.
    void startupStates() {
        started.emplace(Setting{
            .arrange = [](StartedForm& s) { writeBytes(s.path(""), "notes.txt", "notes"); }});
        QVERIFY(w().isVisible());
        // Centred on the screen by its frame, once the window manager has told it.
        QTRY_VERIFY(framed(w()));
        QTRY_VERIFY((outerGeometry(w()).center() - w().screen()->availableGeometry().center())
                        .manhattanLength() <= 2);
        for (QPushButton* b : {ui().All_button, ui().UpButton, ui().DownButton,
                               ui().No_duplicates_button, ui().Remove_button, ui().MakeAVI_button,
                               ui().Add_button, ui().Insert_button, ui().PlayAVIbutton})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QCOMPARE(ui().bmplist_filename_label->text(), "Picture List - Empty");
        QCOMPARE(ui().bmp_size_label->text(), "");
        QCOMPARE(ui().Preview_filename_label->text(), "No File");
        QCOMPARE(ui().PlayAVIbutton->toolTip(), "Play AVI file");
    }

    // A close request during a job (by the title bar or by Exit) is refused and becomes an abort
    // request; when idle the window closes at once, taking the program's other windows along
    // and the last picture converted with it.
    void closeRefusedWhileBusyAndAcceptedWhenIdle() {
        QWidget other;
        other.show();

        w().setBusy(true);
        QVERIFY(!w().close());
        QVERIFY(w().abortRequested());
        w().withdrawAbortRequest();
        ui().item("ExitMenu")->trigger();
        QVERIFY(w().isVisible());
        QVERIFY(other.isVisible());
        QVERIFY(w().abortRequested());
        QVERIFY(desktop().boxes.isEmpty()); // the running job asks; closing itself asks nothing

        w().setBusy(false);
        w().withdrawAbortRequest();
        writeBytes(desktop().windowsDir + "/TEMP", "$T$.bmp", "BM");
        ui().item("ExitMenu")->trigger();
        QVERIFY(!w().isVisible());
        QVERIFY(!other.isVisible());
        QVERIFY(!w().abortRequested());
        QVERIFY(!QFile::exists(desktop().windowsDir + "/TEMP/$T$.bmp"));
    }

    // The first save dialog proposes the program's folder only where it can be written; an
    // installed program's is not, and the user's Videos folder comes instead.
    void videoProposedWhereItCanBeWritten() {
        QCOMPARE(w().aviFilePath(), desktop().programDir + "/PICREEL.avi");
        started.emplace(Setting{.arrange = [](StartedForm& s) {
            QVERIFY(QDir(s.desktop.programDir).removeRecursively());
        }});
        QCOMPARE(w().aviFilePath(), desktop().videosDir + "/PICREEL.avi");
    }

    void pressesOnListAndThumbnails_data() {
        QTest::addColumn<PressRow>("row");
        const Qt::MouseButtons both = Qt::LeftButton | Qt::RightButton;
        QTest::newRow("none, next, left")
            << PressRow{.selected = -1, .target = Target::NextImage, .selectedAfter = -1};
        QTest::newRow("first, previous, left")
            << PressRow{.selected = 0, .target = Target::PreviousImage, .selectedAfter = 0};
        QTest::newRow("last, next, left")
            << PressRow{.selected = 2, .target = Target::NextImage, .selectedAfter = 2};
        QTest::newRow("middle, previous, left")
            << PressRow{.selected = 1, .target = Target::PreviousImage, .selectedAfter = 0};
        QTest::newRow("middle, next, left")
            << PressRow{.selected = 1, .target = Target::NextImage, .selectedAfter = 2};
        QTest::newRow("middle, previous, right") << PressRow{.selected = 1,
                                                             .target = Target::PreviousImage,
                                                             .buttons = Qt::RightButton,
                                                             .selectedAfter = 1,
                                                             .previewed = "p0.bmp"};
        QTest::newRow("middle, next, two at once") << PressRow{
            .selected = 1, .target = Target::NextImage, .buttons = both, .selectedAfter = 1};
        QTest::newRow("middle, selected, left")
            << PressRow{.selected = 1, .target = Target::SelectedImage, .selectedAfter = 1};
        QTest::newRow("middle, selected, right") << PressRow{.selected = 1,
                                                             .target = Target::SelectedImage,
                                                             .buttons = Qt::RightButton,
                                                             .selectedAfter = 1,
                                                             .previewed = "p1.bmp"};
        // A right press on the list previews the entry already selected, not the one under it.
        QTest::newRow("list, other entry, right") << PressRow{.selected = 1,
                                                              .target = Target::List,
                                                              .listRow = 2,
                                                              .buttons = Qt::RightButton,
                                                              .selectedAfter = 1,
                                                              .previewed = "p1.bmp"};
    }

    void pressesOnListAndThumbnails() {
        QFETCH(PressRow, row);
        ui().BMPlist->setListIndex(row.selected);
        QWidget* const targets[] = {ui().BMPlist, ui().Previous_image, ui().Selected_Image,
                                    ui().Next_image};
        if (row.buttons == (Qt::LeftButton | Qt::RightButton)) {
            // Two buttons going down together arrive as one press only from the window system.
            controls::MouseArgs args;
            args.Button = controls::LeftButton | controls::RightButton;
            w().Next_image_MouseDown(args);
        } else if (row.target == Target::List) {
            clickRow(ui().BMPlist, row.listRow, Qt::MouseButton(row.buttons.toInt()));
        } else {
            QTest::mouseClick(targets[int(row.target)], Qt::MouseButton(row.buttons.toInt()));
        }

        QCOMPARE(ui().BMPlist->ListIndex(), row.selectedAfter);
        QCOMPARE(QFileInfo(fullSizePreviewed(w())).fileName(), row.previewed);
        QVERIFY(!w().abortRequested());
    }

    // A user's click on an entry refreshes buttons and filmstrip for that entry, under the
    // hourglass, and leaves the pointer as it found it.
    void clickedListEntryIsWhatTheFilmstripShows() {
        desktop().setMousePointer(platform::MousePointer::Hourglass);
        desktop().pointerHistory.clear();
        clickRow(ui().BMPlist, 1);
        settleFilmstrip();
        QCOMPARE(ui().bmplist_filename_label->text(), "p1.bmp");
        QCOMPARE(ui().bmp_size_label->text(), "W41 x H480");
        QCOMPARE(ui().Previous_image->Picture().width(), 40);
        QCOMPARE(ui().Next_image->Picture().width(), 42);
        for (QPushButton* b :
             {ui().Remove_button, ui().UpButton, ui().DownButton, ui().No_duplicates_button})
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QCOMPARE(desktop().pointerHistory,
                 (QList{platform::MousePointer::Hourglass, platform::MousePointer::Hourglass}));
    }

    // The window never waits for a worker: with every one of them held, a click moves the
    // selection at once, and the thumbnails are painted when the workers are free again.
    void filmstripNeverWaitsForTheWorkers() {
        settleFilmstrip();
        QThreadPool* const pool = &picture::AheadPool();
        QSemaphore held;
        for (int i = 0; i < pool->maxThreadCount(); ++i)
            pool->start([&held] { held.acquire(); });
        clickRow(ui().BMPlist, 1);
        QCOMPARE(ui().BMPlist->ListIndex(), 1);
        QVERIFY(ui().Selected_Image->Picture().isNull());
        QCOMPARE(ui().bmplist_filename_label->text(), "");
        QVERIFY(ui().Next_image->Picture().isNull());

        held.release(pool->maxThreadCount());
        settleFilmstrip();
        QCOMPARE(ui().Selected_Image->Picture().width(), 41);
        QCOMPARE(ui().bmplist_filename_label->text(), "p1.bmp");
        QCOMPARE(ui().bmp_size_label->text(), "W41 x H480");
        QCOMPARE(ui().Next_image->Picture().width(), 42);
    }

    // No selection: only the next thumbnail shows, the first picture. A listed picture that has
    // gone since shows as an empty frame with empty labels.
    void noSelectionAndAPictureThatHasGone() {
        w().RefreshFilmstrip();
        settleFilmstrip();
        QVERIFY(ui().Previous_image->Picture().isNull());
        QVERIFY(ui().Selected_Image->Picture().isNull());
        QCOMPARE(ui().Next_image->Picture().width(), 40);
        QCOMPARE(ui().bmplist_filename_label->text(), "Picture List - Empty");

        QVERIFY(QFile::remove(started->paths[2]));
        clickRow(ui().BMPlist, 2);
        settleFilmstrip();
        QVERIFY(ui().Selected_Image->Picture().isNull());
        QCOMPARE(ui().bmplist_filename_label->text(), "");
        QCOMPARE(ui().bmp_size_label->text(), "");
    }

    // A big JPEG is decoded small and held at thumbnail size, but the size label and the picture
    // holder tell its real size.
    void bigJpegShownReducedWithItsNaturalSize() {
        const QString big =
            started->write({.name = "big.jpg", .size = {2000, 1600}, .format = "JPEG"});
        ui().BMPlist->AddItem(big, 0);
        ui().BMPlist->setListIndex(0);
        settleFilmstrip();
        QCOMPARE(ui().bmp_size_label->text(), "W2000 x H1600");
        QCOMPARE(ui().TempImage->Width(), 2000);
        QCOMPARE(ui().TempImage->Height(), 1600);
        QCOMPARE(ui().Selected_Image->Picture().size(), QSize(125, 91));
        ui().BMPlist->setListIndex(1);
        settleFilmstrip();
        QCOMPARE(ui().Previous_image->Picture().size(), QSize(125, 91));

        // A camera held upright: the orientation tag turns the natural size too.
        QFile file(big);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        const QByteArray exif("\xFF\xE1\x00\x22"
                              "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0"
                              "\0\0\0\0",
                              36);
        bytes.insert(2, exif); // straight after the start-of-image marker
        ui().BMPlist->AddItem(writeBytes(started->path(""), "upright.jpg", bytes), 0);
        ui().BMPlist->setListIndex(0);
        settleFilmstrip();
        QCOMPARE(ui().bmp_size_label->text(), "W1600 x H2000");
    }

    // Camera-sized Bitmaps are held at thumbnail size too: stepping through five of them by the
    // next thumbnail leaves the process barely larger, where each held whole takes 48 MB.
    void bigBitmapsSteppedThroughHoldLittleMemory() {
        QStringList big;
        for (int i = 0; i < 5; ++i)
            big << started->write({.name = QString("big%1.bmp").arg(i), .size = {4000, 3000}},
                                  QColor::fromHsv(i * 60, 255, 255));
        ui().BMPlist->Clear();
        for (const QString& p : big)
            ui().BMPlist->AddItem(p);

        const qint64 before = residentBytes();
        ui().BMPlist->setListIndex(0);
        for (int i = 1; i < 5; ++i) {
            settleFilmstrip();
            QTest::mouseClick(ui().Next_image, Qt::LeftButton);
        }
        settleFilmstrip();
        [[maybe_unused]] const qint64 grown = residentBytes() - before;

#ifndef __SANITIZE_ADDRESS__ // which holds freed memory back for a while
        QVERIFY2(grown < 40 * 1024 * 1024, qPrintable(QString("grew by %1 bytes").arg(grown)));
#endif
        QCOMPARE(ui().BMPlist->ListIndex(), 4);
        QCOMPARE(ui().bmp_size_label->text(), "W4000 x H3000");
        QCOMPARE(ui().TempImage->Width(), 4000);
        QCOMPARE(ui().Selected_Image->Picture().size(), QSize(125, 91));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
