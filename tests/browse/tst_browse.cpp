#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "form_driving.h"
#include "scripted_platform.h"
#include "started_form.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

class BrowseTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void folderChangeEmptiesPreviewButKeepsSizeLabel();
    void unreadableFolderChangesNothingButTheFolderList();
    void driveChangeAndVolumeThatIsGone();
    void invalidPictureClicked();
    void rightPressOnFileList_data();
    void rightPressOnFileList();
    void desktop();
    void missingDesktopIsReported();
    void previewBoxAndPreviewCommand();
    void openCancelledChangesNothing();
    void openMovesBrowserToChosenFile();
    void openOfFileTheListDoesNotShow();
    void busyBrowserOnlyRequestsAbort();

private:
    MyMainForm& w() const { return **form; }
    QString dir(const QString& name) const { return root->filePath(name); }

    std::unique_ptr<ScriptedPlatform> desktopPlatform;
    std::unique_ptr<QTemporaryDir> root;
    std::unique_ptr<StartedForm> form;
};

// pics: the five names of the pattern case plus a damaged Bitmap; other: one picture;
// usb: a second volume.
void BrowseTest::init() {
    desktopPlatform = std::make_unique<ScriptedPlatform>();
    root = std::make_unique<QTemporaryDir>();
    for (const char* d : {"pics", "other", "usb", "usb/Desktop"})
        QVERIFY(QDir(root->path()).mkpath(d));
    writePicture(dir("pics"), "a.BMP", QSize(640, 480));
    writePicture(dir("pics"), "b.Jpg", QSize(32, 24), "JPG");
    writeGif(dir("pics/c.gif"));
    writePicture(dir("pics"), "d.png", QSize(32, 24), "PNG");
    writeGif(dir("pics/e.xgif"));
    writeBytes(dir("pics"), "f.bmp", "BM but no picture");
    writePicture(dir("other"), "x.bmp", QSize(20, 10));
    writePicture(dir("usb/Desktop"), "y.bmp", QSize(20, 10));
    desktopPlatform->volumeList << platform::Volume{dir("usb") + "/", "USB", true};
    desktopPlatform->desktopDir = dir("usb/Desktop") + "/";
    form = std::make_unique<StartedForm>(dir("pics"));
}

void BrowseTest::cleanup() {
    form.reset();
    root.reset();
    desktopPlatform.reset();
}

void BrowseTest::folderChangeEmptiesPreviewButKeepsSizeLabel() {
    clickRow(w().File1, 0);
    QCOMPARE(w().Preview_filename_label->text(), "a.BMP");
    QCOMPARE(w().PreviewSize_label->text(), "W640 x H480");
    QVERIFY(w().Add_button->isEnabled());

    QVERIFY(w().Dir1->setPath(dir("other")));
    QCOMPARE(w().File1->Path(), dir("other"));
    QCOMPARE(w().File1->ListIndex(), -1);
    QCOMPARE(w().All_button->text(), "Add ALL [1]");
    QCOMPARE(w().CurrentPicturePath, QString());
    QCOMPARE(w().Preview_filename_label->text(), "No File");
    QVERIFY(w().imgPreview->Picture().isNull());
    QVERIFY(!w().Add_button->isEnabled());
    QVERIFY(!w().Insert_button->isEnabled());
    QCOMPARE(w().PreviewSize_label->text(), "W640 x H480");
}

// Root reads any folder, so the refusal is arranged for an unprivileged user: the test
// runs itself again under setpriv and passes when that run passes.
void BrowseTest::unreadableFolderChangesNothingButTheFolderList() {
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
    QVERIFY(QDir(root->path()).mkdir("locked"));
    writePicture(dir("locked"), "z.bmp", QSize(8, 8));
    QVERIFY(QFile::setPermissions(dir("locked"), QFile::WriteOwner));
    clickRow(w().File1, 1);
    desktopPlatform->expectOkBoxes(1);

    QVERIFY(w().Dir1->setPath(dir("locked")));
    QFile::setPermissions(dir("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(desktopPlatform->beeps, 1);
    QCOMPARE(desktopPlatform->takeBoxes(), QList<MsgBoxRequest>{folderBox});
    QCOMPARE(w().Dir1->Path(), dir("locked"));
    QCOMPARE(w().File1->Path(), dir("pics"));
    QCOMPARE(w().File1->ListCount(), 5);
    QCOMPARE(w().CurrentPicturePath, dir("pics/b.Jpg"));
    QCOMPARE(w().Preview_filename_label->text(), "b.Jpg");
}

void BrowseTest::driveChangeAndVolumeThatIsGone() {
    clickRow(w().File1, 0);
    w().Drive1->setCurrentIndex(1);
    QCOMPARE(w().Dir1->Path(), dir("usb"));
    QCOMPARE(w().File1->Path(), dir("usb"));
    QCOMPARE(w().Preview_filename_label->text(), "No File");
    QCOMPARE(desktopPlatform->beeps, 0);

    w().Drive1->setCurrentIndex(0);
    QCOMPARE(w().Dir1->Path(), dir("pics")); // the folder last open on that volume
    clickRow(w().File1, 0);
    QVERIFY(QDir(dir("usb")).removeRecursively());
    desktopPlatform->expectOkBoxes(1);
    w().Drive1->setCurrentIndex(1);

    QCOMPARE(desktopPlatform->beeps, 1);
    const QString entry = dir("usb") + "/ [USB]";
    QCOMPARE(desktopPlatform->takeBoxes(),
             QList<MsgBoxRequest>({{"Drive not ready, or Invalid.", MsgButtons::OK, MsgIcon::None,
                                    "Error - Drive (" + entry + ")"}}));
    QCOMPARE(w().Drive1->Drive(), entry);
    QCOMPARE(w().Dir1->Path(), dir("pics"));
    QCOMPARE(w().File1->ListCount(), 5);
    QCOMPARE(w().Preview_filename_label->text(), "a.BMP");
}

void BrowseTest::invalidPictureClicked() {
    clickRow(w().File1, 0);
    desktopPlatform->pointerHistory.clear();
    desktopPlatform->expectOkBoxes(1);
    clickRow(w().File1, 4);

    QCOMPARE(desktopPlatform->takeBoxes(),
             QList<MsgBoxRequest>({{"The selected file is not a valid format\r\nUse only Bitmap "
                                    "(BMP), Jpeg (JPG) or GIF picture files.",
                                    MsgButtons::OK, MsgIcon::None, "Invalid File"}}));
    QCOMPARE(desktopPlatform->mousePointer(), platform::MousePointer::Default);
    QCOMPARE(w().CurrentPicturePath, QString());
    QCOMPARE(w().Preview_filename_label->text(), "No File");
    QVERIFY(w().imgPreview->Picture().isNull());
    QCOMPARE(w().PreviewSize_label->text(), "W640 x H480");
    QCOMPARE(w().File1->ListIndex(), 4);
    // Command states are not refreshed, and a double click adds nothing.
    QVERIFY(w().Add_button->isEnabled());
    doubleClickRow(w().File1, 4);
    QCOMPARE(w().BMPlist->ListCount(), 0);
}

void BrowseTest::rightPressOnFileList_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("pressedRow");
    QTest::addColumn<QString>("shown");

    QTest::newRow("no selected row") << -1 << 0 << "";
    QTest::newRow("over another row") << 1 << 3 << "b.Jpg";
}

void BrowseTest::rightPressOnFileList() {
    QFETCH(int, selected);
    QFETCH(int, pressedRow);
    QFETCH(QString, shown);
    w().File1->setListIndex(selected);
    clickRow(w().File1, pressedRow, Qt::RightButton);
    QCOMPARE(fullSizePreviewed(w()), shown.isEmpty() ? shown : dir("pics/") + shown);
    QCOMPARE(w().File1->ListIndex(), selected);
}

void BrowseTest::desktop() {
    clickRow(w().File1, 0);
    w().setBusy(true); // Desktop acts during a job too
    QTest::mouseClick(w().DesktopButton, Qt::LeftButton);

    QCOMPARE(w().Drive1->Drive(), dir("usb") + "/ [USB]");
    QCOMPARE(w().Dir1->Path(), dir("usb/Desktop"));
    QCOMPARE(rows(w().File1), QStringList{"y.bmp"});
    QCOMPARE(w().Preview_filename_label->text(), "No File");
    QCOMPARE(w().focusWidget(), w().File1);
    QVERIFY(!w().AbortRequested);
}

// Left open: the Desktop command reports a desktop that cannot be found as a folder that
// cannot be opened, and the browser stays where it was.
void BrowseTest::missingDesktopIsReported() {
    desktopPlatform->desktopDir.clear();
    desktopPlatform->expectOkBoxes(1);
    w().DeskTopMenuItem->trigger();
    QCOMPARE(desktopPlatform->beeps, 1);
    QCOMPARE(desktopPlatform->takeBoxes(), QList<MsgBoxRequest>{folderBox});
    QCOMPARE(w().Dir1->Path(), dir("pics"));
}

void BrowseTest::previewBoxAndPreviewCommand() {
    QTest::mouseClick(w().imgPreview, Qt::RightButton);
    QCOMPARE(fullSizePreviewed(w()), QString());

    clickRow(w().File1, 2);
    QTest::mouseClick(w().imgPreview, Qt::RightButton);
    QCOMPARE(fullSizePreviewed(w()), dir("pics/c.gif"));
    QTest::mouseDClick(w().imgPreview, Qt::LeftButton);
    QCOMPARE(rows(w().BMPlist), QStringList{dir("pics/c.gif")});

    w().findChild<PreviewForm*>()->hide();
    w().Add_button->setFocus();
    w().PreviewMenu->trigger();
    QCOMPARE(fullSizePreviewed(w()), QString());
    w().BMPlist->setFocus();
    w().PreviewMenu->trigger();
    QCOMPARE(fullSizePreviewed(w()), dir("pics/c.gif"));

    w().findChild<PreviewForm*>()->hide();
    w().BMPlist->clearFocus();
    w().PreviewMenu->trigger();
    QCOMPARE(fullSizePreviewed(w()), QString());
}

void BrowseTest::openCancelledChangesNothing() {
    clickRow(w().File1, 0);
    desktopPlatform->answerNextFileDialog(std::nullopt);
    w().OpenMenu->trigger();

    const platform::CommonDialog& shown = desktopPlatform->fileDialogs.at(0);
    QCOMPARE(desktopPlatform->fileDialogModes.at(0), platform::FileDialogMode::Open);
    QCOMPARE(shown.DefaultExt, "*");
    QCOMPARE(shown.InitDir, dir("pics"));
    QCOMPARE(shown.Filter, "Picture Files (BMP,JPG,GIF)| *.BMP;*.JPG;*.GIF|All files (*.*)|*.*");
    QCOMPARE(shown.FileName, "");
    QCOMPARE(shown.DialogTitle, "Select Source Picture");
    QCOMPARE(w().CurrentPicturePath, dir("pics/a.BMP"));
    QCOMPARE(w().File1->ListIndex(), 0);
}

void BrowseTest::openMovesBrowserToChosenFile() {
    desktopPlatform->answerNextFileDialog(dir("usb/Desktop/y.bmp"));
    w().OpenMenu->trigger();
    QCOMPARE(w().Drive1->Drive(), dir("usb") + "/ [USB]");
    QCOMPARE(w().Dir1->Path(), dir("usb/Desktop"));
    QCOMPARE(w().File1->FileName(), "y.bmp");
    QCOMPARE(w().CurrentPicturePath, dir("usb/Desktop/y.bmp"));
    QCOMPARE(w().PreviewSize_label->text(), "W20 x H10");
    QCOMPARE(w().focusWidget(), w().File1);
}

void BrowseTest::openOfFileTheListDoesNotShow() {
    clickRow(w().File1, 0);
    desktopPlatform->answerNextFileDialog(dir("other/notes.txt"));
    w().OpenMenu->trigger();
    QCOMPARE(w().File1->Path(), dir("other") + "/");
    QCOMPARE(w().File1->ListIndex(), -1);
    QCOMPARE(w().CurrentPicturePath, QString());
    QCOMPARE(w().Preview_filename_label->text(), "No File");
}

void BrowseTest::busyBrowserOnlyRequestsAbort() {
    w().File1->setListIndex(0);
    w().setBusy(true);
    clickRow(w().File1, 1);
    QCOMPARE(w().CurrentPicturePath, dir("pics/a.BMP"));
    QVERIFY(w().AbortRequested);

    w().AbortRequested = false;
    clickRow(w().File1, 0, Qt::RightButton);
    QVERIFY(w().AbortRequested);
    QCOMPARE(fullSizePreviewed(w()), QString());
    w().AbortRequested = false;
    QTest::mouseClick(w().imgPreview, Qt::RightButton);
    QVERIFY(w().AbortRequested);
    w().AbortRequested = false;
    w().OpenMenu->trigger(); // no dialog: the scripted one would fail the test
    QVERIFY(w().AbortRequested);
}

QTEST_MAIN(BrowseTest)
#include "tst_browse.moc"
