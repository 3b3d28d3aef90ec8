#include "form_driving.h"
#include "started_form.h"

#include <QApplication>
#include <QProcess>

#include <unistd.h>

using platform::MsgBoxRequest;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const MsgBoxRequest folderBox{"Invalid folder/Path selected.", MsgButtons::OK, MsgIcon::None,
                              "ERROR - Invalid Folder/Path"};

// Qt writes no GIF: a 1 x 1 one by hand.
void writeGif(const QString& path) {
    static const char gif[] = "GIF89a\x01\0\x01\0\x80\0\0\xff\xff\xff\0\0\0!\xf9\x04\x01\0\0\0\0,"
                              "\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(gif, sizeof gif - 1);
}

} // namespace

class BrowseTest : public QObject, WithStartedForm {
    Q_OBJECT

private slots:
    // pics, where the window starts: the five names of the pattern case plus a damaged Bitmap;
    // other: one picture; usb: a second volume, with the desktop on it.
    void init() {
        started.emplace(
            Setting{.pictures = {{.name = "pics/a.BMP", .size = {640, 480}},
                                 {.name = "pics/b.Jpg", .format = "JPG"},
                                 {.name = "pics/d.png", .format = "PNG"},
                                 {.name = "other/x.bmp", .size = {20, 10}},
                                 {.name = "usb/Desktop/y.bmp", .size = {20, 10}}},
                    .startIn = "pics",
                    .arrange = [](StartedForm& s) {
                        writeGif(s.path("pics/c.gif"));
                        writeGif(s.path("pics/e.xgif"));
                        writeBytes(s.path("pics"), "f.bmp", "BM but no picture");
                        s.desktop.volumeList << platform::Volume{s.path("usb") + "/", "USB", true};
                        s.desktop.desktopDir = s.path("usb/Desktop") + "/";
                    }});
    }
    void cleanup() { started.reset(); }

    void folderChangeEmptiesPreviewButKeepsSizeLabel() {
        clickRow(ui().File1, 0);
        QCOMPARE(ui().Preview_filename_label->text(), "a.BMP");
        QCOMPARE(ui().PreviewSize_label->text(), "W640 x H480");
        QVERIFY(ui().Add_button->isEnabled());

        QVERIFY(ui().Dir1->setPath(dir("other")));
        QCOMPARE(ui().File1->ListIndex(), -1);
        QCOMPARE(ui().All_button->text(), "Add ALL [1]");
        QCOMPARE(w().currentPicturePath(), QString());
        QCOMPARE(ui().Preview_filename_label->text(), "No File");
        QVERIFY(ui().imgPreview->Picture().isNull());
        QVERIFY(!ui().Add_button->isEnabled());
        QVERIFY(!ui().Insert_button->isEnabled());
        QCOMPARE(ui().PreviewSize_label->text(), "W640 x H480");
    }

    // A picture whose name is not UTF-8 cannot be listed under another name: the user is told
    // its name, bytes that are not UTF-8 written out.
    void nameThatIsNotUtf8IsNamed() {
        const QByteArray name = QFile::encodeName(dir("other")) + "/img\xff.bmp";
        QVERIFY(::link(QFile::encodeName(dir("other/x.bmp")).constData(), name.constData()) == 0);
        desktop().expectOkBoxes(1);
        QVERIFY(ui().Dir1->setPath(dir("other")));
        QCOMPARE(ui().All_button->text(), "Add ALL [1]");
        const MsgBoxRequest told{
            "These files are not listed: their names are not UTF-8, and PICREEL takes UTF-8 "
            "names only. Rename them to use them.\r\nimg\\xff.bmp",
            MsgButtons::OK, MsgIcon::Exclamation, "Warning - File Names Not Shown"};
        QCOMPARE(desktop().takeBoxes(), QList<MsgBoxRequest>{told});
    }

    // Root reads any folder, so the refusal is arranged for an unprivileged user: the test
    // runs itself again under setpriv and passes when that run passes.
    void unreadableFolderChangesNothingButTheFolderList() {
        if (geteuid() == 0) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("XDG_RUNTIME_DIR");
            env.insert("HOME", "/tmp");
            child.setProcessEnvironment(env);
            child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                    QCoreApplication::applicationFilePath(),
                                    "unreadableFolderChangesNothingButTheFolderList"});
            if (!child.waitForStarted())
                QSKIP("setpriv is not available");
            QVERIFY(child.waitForFinished(60000));
            QCOMPARE(child.exitCode(), 0);
            return;
        }
        started->write({.name = "locked/z.bmp"});
        QVERIFY(QFile::setPermissions(dir("locked"), QFile::WriteOwner));
        clickRow(ui().File1, 1);
        desktop().expectOkBoxes(1);

        QVERIFY(ui().Dir1->setPath(dir("locked")));
        QFile::setPermissions(dir("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(desktop().beeps, 1);
        QCOMPARE(desktop().takeBoxes(), QList<MsgBoxRequest>{folderBox});
        QCOMPARE(ui().Dir1->Path(), dir("locked"));
        QCOMPARE(ui().File1->Path(), dir("pics"));
        QCOMPARE(ui().File1->ListCount(), 5);
        QCOMPARE(w().currentPicturePath(), dir("pics/b.Jpg"));
        QCOMPARE(ui().Preview_filename_label->text(), "b.Jpg");
    }

    void driveChangeAndVolumeThatIsGone() {
        clickRow(ui().File1, 0);
        ui().Drive1->setCurrentIndex(1);
        QCOMPARE(ui().Dir1->Path(), dir("usb"));
        QCOMPARE(ui().File1->Path(), dir("usb"));
        QCOMPARE(ui().Preview_filename_label->text(), "No File");
        QCOMPARE(desktop().beeps, 0);

        ui().Drive1->setCurrentIndex(0);
        QCOMPARE(ui().Dir1->Path(), dir("pics")); // the folder last open on that volume
        clickRow(ui().File1, 0);
        QVERIFY(QDir(dir("usb")).removeRecursively());
        desktop().expectOkBoxes(1);
        ui().Drive1->setCurrentIndex(1);

        QCOMPARE(desktop().beeps, 1);
        const QString entry = dir("usb") + "/ [USB]";
        QCOMPARE(desktop().takeBoxes(),
                 QList<MsgBoxRequest>({{"Drive not ready, or Invalid.", MsgButtons::OK,
                                        MsgIcon::None, "Error - Drive (" + entry + ")"}}));
        QCOMPARE(ui().Drive1->Drive(), entry);
        QCOMPARE(ui().Dir1->Path(), dir("pics"));
        QCOMPARE(ui().File1->ListCount(), 5);
        QCOMPARE(ui().Preview_filename_label->text(), "a.BMP");
    }

    // "/" and a volume's root open as any folder does, from the folder list and from Open; a
    // volume whose last folder is gone opens at its root.
    void volumeRootsOpenAsFolders() {
        doubleClickRow(ui().Dir1, 0);
        QCOMPARE(ui().Dir1->Path(), "/");
        QCOMPARE(ui().File1->Path(), "/");

        const QString z = started->write({.name = "usb/z.bmp"});
        ui().Drive1->setCurrentIndex(1);
        doubleClickRow(ui().Dir1, 1);
        QCOMPARE(ui().Dir1->Path(), dir("usb/Desktop"));
        doubleClickRow(ui().Dir1, 0);
        QCOMPARE(ui().Dir1->Path(), dir("usb"));
        doubleClickRow(ui().Dir1, 1);
        ui().Drive1->setCurrentIndex(0);
        desktop().answerNextFileDialog(z);
        ui().item("OpenMenu")->trigger();
        QCOMPARE(ui().Dir1->Path(), dir("usb"));
        QCOMPARE(ui().File1->FileName(), "z.bmp");

        doubleClickRow(ui().Dir1, 1);
        ui().Drive1->setCurrentIndex(0);
        QVERIFY(QDir(dir("usb/Desktop")).removeRecursively());
        ui().Drive1->setCurrentIndex(1);
        QCOMPARE(ui().Dir1->Path(), dir("usb"));
        QCOMPARE(ui().File1->Path(), dir("usb"));
        QCOMPARE(desktop().beeps, 0);
    }

    // The command line's folder, or picture (as Open's choice is): a path that is neither is
    // reported and leaves the browser in the current folder.
    void startsInAFolderOrAtAPicture() {
        desktop().expectOkBoxes(1);
        w().startIn(dir("missing"));
        QCOMPARE(desktop().takeBoxes(), QList<MsgBoxRequest>{folderBox});
        QCOMPARE(ui().File1->Path(), dir("pics"));

        w().startIn(dir("other"));
        QCOMPARE(ui().Dir1->Path(), dir("other"));
        QCOMPARE(rows(ui().File1), QStringList{"x.bmp"});

        w().startIn(dir("usb/Desktop/y.bmp"));
        QCOMPARE(ui().Drive1->Drive(), dir("usb") + "/ [USB]");
        QCOMPARE(ui().Dir1->Path(), dir("usb/Desktop"));
        QCOMPARE(ui().File1->FileName(), "y.bmp");
        QCOMPARE(w().currentPicturePath(), dir("usb/Desktop/y.bmp"));
        QCOMPARE(ui().imgPreview->Picture().size(), QSize(20, 10));
        QCOMPARE(w().focusWidget(), ui().File1);
    }

    void invalidPictureClicked() {
        clickRow(ui().File1, 0);
        desktop().pointerHistory.clear();
        desktop().expectOkBoxes(1);
        clickRow(ui().File1, 4);

        QCOMPARE(
            desktop().takeBoxes(),
            QList<MsgBoxRequest>({{"The selected file is not a valid format\r\nUse only Bitmap "
                                   "(BMP), Jpeg (JPG) or GIF picture files.",
                                   MsgButtons::OK, MsgIcon::None, "Invalid File"}}));
        QCOMPARE(desktop().mousePointer(), platform::MousePointer::Default);
        QCOMPARE(w().currentPicturePath(), QString());
        QCOMPARE(ui().Preview_filename_label->text(), "No File");
        QVERIFY(ui().imgPreview->Picture().isNull());
        QCOMPARE(ui().PreviewSize_label->text(), "W640 x H480");
        QCOMPARE(ui().File1->ListIndex(), 4);
        // Command states are not refreshed, and a double click adds nothing.
        QVERIFY(ui().Add_button->isEnabled());
        doubleClickRow(ui().File1, 4);
        QCOMPARE(ui().BMPlist->ListCount(), 0);
    }

    // A right press previews the selected file, not the one under the pointer.
    void rightPressOnFileList() {
        clickRow(ui().File1, 0, Qt::RightButton);
        QCOMPARE(fullSizePreviewed(w()), "");
        QCOMPARE(ui().File1->ListIndex(), -1);

        ui().File1->setListIndex(1);
        clickRow(ui().File1, 3, Qt::RightButton);
        QCOMPARE(fullSizePreviewed(w()), dir("pics/b.Jpg"));
        QCOMPARE(ui().File1->ListIndex(), 1);
    }

    void desktopActsDuringAJob() {
        clickRow(ui().File1, 0);
        w().setBusy(true); // Desktop acts during a job too
        QTest::mouseClick(ui().DesktopButton, Qt::LeftButton);

        QCOMPARE(ui().Drive1->Drive(), dir("usb") + "/ [USB]");
        QCOMPARE(ui().Dir1->Path(), dir("usb/Desktop"));
        QCOMPARE(rows(ui().File1), QStringList{"y.bmp"});
        QCOMPARE(ui().Preview_filename_label->text(), "No File");
        QCOMPARE(w().focusWidget(), ui().File1);
        QVERIFY(!w().abortRequested());
    }

    // Left open: the Desktop command reports a desktop that cannot be found as a folder that
    // cannot be opened, and the browser stays where it was.
    void missingDesktopIsReported() {
        desktop().desktopDir.clear();
        desktop().expectOkBoxes(1);
        ui().item("DeskTopMenuItem")->trigger();
        QCOMPARE(desktop().beeps, 1);
        QCOMPARE(desktop().takeBoxes(), QList<MsgBoxRequest>{folderBox});
        QCOMPARE(ui().Dir1->Path(), dir("pics"));
    }

    void previewBoxAndPreviewCommand() {
        QTest::mouseClick(ui().imgPreview, Qt::RightButton);
        QCOMPARE(fullSizePreviewed(w()), QString());

        clickRow(ui().File1, 2);
        QTest::mouseClick(ui().imgPreview, Qt::RightButton);
        QCOMPARE(fullSizePreviewed(w()), dir("pics/c.gif"));
        QTest::mouseDClick(ui().imgPreview, Qt::LeftButton);
        QCOMPARE(rows(ui().BMPlist), QStringList{dir("pics/c.gif")});

        w().findChild<PreviewForm*>()->hide();
        ui().Add_button->setFocus();
        ui().item("PreviewMenu")->trigger();
        QCOMPARE(fullSizePreviewed(w()), QString());
        ui().BMPlist->setFocus();
        ui().item("PreviewMenu")->trigger();
        QCOMPARE(fullSizePreviewed(w()), dir("pics/c.gif"));

        w().findChild<PreviewForm*>()->hide();
        ui().BMPlist->clearFocus();
        ui().item("PreviewMenu")->trigger();
        QCOMPARE(fullSizePreviewed(w()), QString());
    }

    void openCancelledChangesNothing() {
        clickRow(ui().File1, 0);
        desktop().answerNextFileDialog(std::nullopt);
        ui().item("OpenMenu")->trigger();

        // The dialog opens on the browser's folder.
        QCOMPARE(desktop().fileDialogs.at(0).InitDir, dir("pics"));
        QCOMPARE(w().currentPicturePath(), dir("pics/a.BMP"));
        QCOMPARE(ui().File1->ListIndex(), 0);
    }

    void openOfFileTheListDoesNotShow() {
        clickRow(ui().File1, 0);
        desktop().answerNextFileDialog(dir("other/notes.txt"));
        ui().item("OpenMenu")->trigger();
        QCOMPARE(ui().File1->Path(), dir("other") + "/");
        QCOMPARE(ui().File1->ListIndex(), -1);
        QCOMPARE(w().currentPicturePath(), QString());
        QCOMPARE(ui().Preview_filename_label->text(), "No File");
    }

    void naturalSizeAndOneWindowReused() {
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        const QString first = started->path("first.bmp");
        QVERIFY(picture.save(first, "BMP"));
        const QString second =
            started->write({.name = "second.jpg", .size = {120, 90}, .format = "JPEG"});

        w().ShowFullSizePreview(first);
        PreviewForm* shown = window();
        QVERIFY(shown);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        // The window manager tells the frame after the window is shown.
        QTRY_COMPARE(outerGeometry(*shown).size(), QSize(300, 225));
        QCOMPARE(shown->windowTitle(), " " + first);
        QCOMPARE(shown->grab().toImage().pixel(0, 0), qRgb(255, 0, 0)); // natural size, top-left
        QCOMPARE(shown->grab().toImage().pixel(1, 1), qRgb(0, 0, 255));
        QCOMPARE(ui().TempImage->Width(), 300);
        // Owned by the main window, and modeless.
        QCOMPARE(shown->parentWidget(), &w());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        w().ShowFullSizePreview(second);
        QCOMPARE(w().findChildren<PreviewForm*>().size(), 1);
        QCOMPARE(window(), shown);
        QCOMPARE(outerGeometry(*shown).size(), QSize(120, 115));
        QCOMPARE(shown->windowTitle(), " " + second);
        QCOMPARE(shown->Picture().size(), QSize(120, 90));
    }

    void anyKeyOrPressClosesIt_data() {
        QTest::addColumn<QKeyCombination>("key"); // none: a left press
        QTest::newRow("X") << QKeyCombination(Qt::Key_X);
        // The owner's shortcuts, Tips and Exit, count as keys here.
        QTest::newRow("F1") << QKeyCombination(Qt::Key_F1);
        QTest::newRow("Ctrl+X") << QKeyCombination(Qt::ControlModifier, Qt::Key_X);
        QTest::newRow("left press") << QKeyCombination();
    }

    void anyKeyOrPressClosesIt() {
        QFETCH(QKeyCombination, key);
        w().ShowFullSizePreview(started->write({.name = "p.bmp", .size = {50, 40}}));
        QVERIFY(QTest::qWaitForWindowActive(window()));
        if (key.key() == Qt::Key_unknown)
            QTest::mouseClick(window(), Qt::LeftButton);
        else
            QTest::keyClick(window(), key.key(), key.keyboardModifiers());
        QVERIFY(!window()->isVisible());
        QVERIFY(w().isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), &w()); // and a box nobody answers fails it
    }

    // One plain box, and the window keeps what it showed, or stays closed.
    void unloadablePictureLeavesTheWindowAsItWas() {
        const QString missing = started->path("gone.bmp");
        desktop().expectOkBoxes(1);
        w().ShowFullSizePreview(missing);
        QCOMPARE(desktop().boxes.size(), 1);
        QCOMPARE(desktop().boxes[0].title, QString("Full Size Preview"));
        QCOMPARE(desktop().boxes[0].prompt,
                 "Unable to show \"" + missing +
                     "\" at full size.\n\nThe file is missing, damaged or not a BMP, JPG or GIF "
                     "picture.");
        QCOMPARE(desktop().boxes[0].icon, platform::MsgIcon::Exclamation);
        QVERIFY(!window() || !window()->isVisible());

        const QString good = started->write({.name = "good.bmp", .size = {60, 30}});
        const QString damaged =
            writeBytes(started->path(""), "damaged.jpg", "\xFF\xD8\xFF not a JPEG");
        w().ShowFullSizePreview(good);
        desktop().expectOkBoxes(1);
        w().ShowFullSizePreview(damaged);
        QCOMPARE(desktop().boxes.size(), 2);
        QVERIFY(window()->isVisible());
        QCOMPARE(window()->windowTitle(), " " + good);
        QCOMPARE(window()->Picture().size(), QSize(60, 30));
        QTRY_COMPARE(outerGeometry(*window()).size(), QSize(60, 55));
        QCOMPARE(ui().TempImage->Width(), 60);
    }

private:
    PreviewForm* window() { return w().findChild<PreviewForm*>(); }
    QString dir(const QString& name) const { return started->path(name); }
};

QTEST_MAIN(BrowseTest)
#include "tst_browse.moc"
