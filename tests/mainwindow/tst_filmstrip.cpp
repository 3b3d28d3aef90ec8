#include "controls/image_box.h"
#include "controls/list_box.h"
#include "form_driving.h"
#include "scripted_platform.h"
#include "started_form.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class FilmstripTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pressesOnListAndThumbnails_data();
    void pressesOnListAndThumbnails();
    void everyPressIsAnAbortRequestWhileBusy_data();
    void everyPressIsAnAbortRequestWhileBusy();
    void clickedListEntryIsWhatTheFilmstripShows();
    void nextFromSecondToLastShowsTheLast();
    void noSelectionAndAPictureThatHasGone();
    void bigJpegShownReducedWithItsNaturalSize();

private:
    QWidget* target(const QString& name) const;

    std::unique_ptr<ScriptedPlatform> desktop;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<StartedForm> form;
    QStringList paths;
};

void FilmstripTest::init() {
    desktop = std::make_unique<ScriptedPlatform>();
    folder = std::make_unique<QTemporaryDir>();
    paths.clear();
    for (int i = 0; i < 3; ++i)
        paths << writePicture(folder->path(), QString("p%1.bmp").arg(i), QSize(640 + i, 480));
    form = std::make_unique<StartedForm>(folder->path());
    for (const QString& p : paths)
        (*form)->BMPlist->AddItem(p);
}

void FilmstripTest::cleanup() {
    form.reset();
    folder.reset();
    desktop.reset();
}

QWidget* FilmstripTest::target(const QString& name) const {
    return name == "BMPlist" ? (*form)->BMPlist->viewport() : (*form)->findChild<QWidget*>(name);
}

void FilmstripTest::pressesOnListAndThumbnails_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("row"); // where on the list the press lands
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<int>("previewedEntry"); // -1: no full-size window

    const int left = controls::LeftButton, right = controls::RightButton;
    const int both = left | right;
    QTest::newRow("none, next, left") << -1 << "Next_image" << 0 << left << -1 << -1;
    QTest::newRow("first, previous, left") << 0 << "Previous_image" << 0 << left << 0 << -1;
    QTest::newRow("last, next, left") << 2 << "Next_image" << 0 << left << 2 << -1;
    QTest::newRow("middle, previous, left") << 1 << "Previous_image" << 0 << left << 0 << -1;
    QTest::newRow("middle, previous, right") << 1 << "Previous_image" << 0 << right << 1 << 0;
    QTest::newRow("middle, next, two at once") << 1 << "Next_image" << 0 << both << 1 << -1;
    QTest::newRow("middle, selected, left") << 1 << "Selected_Image" << 0 << left << 1 << -1;
    QTest::newRow("middle, selected, right") << 1 << "Selected_Image" << 0 << right << 1 << 1;
    // A right press on the list previews the entry already selected, not the one under it.
    QTest::newRow("list, other entry, right") << 1 << "BMPlist" << 2 << right << 1 << 1;
}

void FilmstripTest::pressesOnListAndThumbnails() {
    QFETCH(int, selected);
    QFETCH(QString, widget);
    QFETCH(int, row);
    QFETCH(int, button);
    QFETCH(int, selectedAfter);
    QFETCH(int, previewedEntry);
    (*form)->BMPlist->setListIndex(selected);

    QWidget* w = target(widget);
    const QPoint at = widget == "BMPlist"
                          ? (*form)->BMPlist->visualItemRect((*form)->BMPlist->item(row)).center()
                          : w->rect().center();
    if (button == (controls::LeftButton | controls::RightButton)) {
        // Two buttons going down together arrive as one press only from the window system.
        controls::MouseArgs args;
        args.Button = button;
        (*form)->Next_image_MouseDown(args);
    } else {
        // The classic codes 1 and 2 are Qt's left and right buttons.
        QTest::mouseClick(w, Qt::MouseButton(button), {}, at);
    }

    QCOMPARE((*form)->BMPlist->ListIndex(), selectedAfter);
    QCOMPARE(fullSizePreviewed(**form), previewedEntry == -1 ? QString() : paths[previewedEntry]);
    QVERIFY(!(*form)->AbortRequested);
}

void FilmstripTest::everyPressIsAnAbortRequestWhileBusy_data() {
    QTest::addColumn<QString>("widget");
    QTest::addColumn<Qt::MouseButton>("button");
    // The guard comes before the button is looked at: one button per thumbnail is enough.
    QTest::newRow("Previous_image, left") << "Previous_image" << Qt::LeftButton;
    QTest::newRow("Selected_Image, right") << "Selected_Image" << Qt::RightButton;
    QTest::newRow("Next_image, left") << "Next_image" << Qt::LeftButton;
}

void FilmstripTest::everyPressIsAnAbortRequestWhileBusy() {
    QFETCH(QString, widget);
    QFETCH(Qt::MouseButton, button);
    (*form)->BMPlist->setListIndex(1);
    (*form)->setBusy(true);
    QWidget* w = target(widget);
    QTest::mouseClick(w, button, {}, w->rect().center());
    QVERIFY((*form)->AbortRequested);
    QCOMPARE((*form)->BMPlist->ListIndex(), 1);
    QCOMPARE(fullSizePreviewed(**form), QString());
}

// A user's click on an entry refreshes buttons and filmstrip for that entry, under the
// hourglass, and leaves the pointer as it found it.
void FilmstripTest::clickedListEntryIsWhatTheFilmstripShows() {
    MyMainForm& f = **form;
    desktop->setMousePointer(platform::MousePointer::Hourglass);
    desktop->pointerHistory.clear();
    clickRow(f.BMPlist, 1);
    QCOMPARE(f.bmplist_filename_label->text(), QString("p1.bmp"));
    QCOMPARE(f.bmp_size_label->text(), QString("W641 x H480"));
    QCOMPARE(f.Previous_image->Picture().width(), 640);
    QCOMPARE(f.Next_image->Picture().width(), 642);
    for (QPushButton* b : {f.Remove_button, f.UpButton, f.DownButton, f.No_duplicates_button})
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    QCOMPARE(desktop->pointerHistory,
             (QList{platform::MousePointer::Hourglass, platform::MousePointer::Hourglass}));
}

void FilmstripTest::nextFromSecondToLastShowsTheLast() {
    MyMainForm& f = **form;
    f.BMPlist->setListIndex(1);
    QTest::mouseClick(f.Next_image, Qt::LeftButton);
    QCOMPARE(f.BMPlist->ListIndex(), 2);
    QCOMPARE(f.Selected_Image->Picture().width(), 642);
    QCOMPARE(f.Previous_image->Picture().width(), 641);
    QVERIFY(f.Next_image->Picture().isNull());
    QCOMPARE(f.bmplist_filename_label->text(), QString("p2.bmp"));
}

// No selection: only the next thumbnail shows, the first picture. A listed picture that has
// gone since shows as an empty frame with empty labels.
void FilmstripTest::noSelectionAndAPictureThatHasGone() {
    MyMainForm& f = **form;
    f.RefreshFilmstrip();
    QVERIFY(f.Previous_image->Picture().isNull());
    QVERIFY(f.Selected_Image->Picture().isNull());
    QCOMPARE(f.Next_image->Picture().width(), 640);
    QCOMPARE(f.bmplist_filename_label->text(), QString("Picture List - Empty"));

    QVERIFY(QFile::remove(paths[2]));
    clickRow(f.BMPlist, 2);
    QVERIFY(f.Selected_Image->Picture().isNull());
    QCOMPARE(f.bmplist_filename_label->text(), QString());
    QCOMPARE(f.bmp_size_label->text(), QString());
}

// A big JPEG is decoded small for the thumbnails, but the size label and TempImage tell
// its real size.
void FilmstripTest::bigJpegShownReducedWithItsNaturalSize() {
    MyMainForm& f = **form;
    const QString big = writePicture(folder->path(), "big.jpg", QSize(2000, 1600), "JPEG");
    f.BMPlist->AddItem(big, 0);
    f.BMPlist->setListIndex(0);
    QCOMPARE(f.bmp_size_label->text(), QString("W2000 x H1600"));
    QCOMPARE(f.TempImage->Width(), 2000);
    QCOMPARE(f.TempImage->Height(), 1600);
    QCOMPARE(f.Selected_Image->Picture().size(), QSize(125, 100));
    f.BMPlist->setListIndex(1);
    QCOMPARE(f.Previous_image->Picture().size(), QSize(125, 100));

    // A camera held upright: the orientation tag turns the natural size too.
    QFile file(big);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    const QByteArray exif("\xFF\xE1\x00\x22"
                          "Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0"
                          "\0\0\0\0",
                          36);
    bytes.insert(2, exif); // straight after the start-of-image marker
    const QString upright = folder->filePath("upright.jpg");
    QFile out(upright);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    f.BMPlist->AddItem(upright, 0);
    f.BMPlist->setListIndex(0);
    QCOMPARE(f.bmp_size_label->text(), QString("W1600 x H2000"));
    QCOMPARE(f.Selected_Image->Picture().size(), QSize(125, 157));
}

QTEST_MAIN(FilmstripTest)
#include "tst_filmstrip.moc"
