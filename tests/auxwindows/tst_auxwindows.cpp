#include "auxwindows/frm_about.h"
#include "auxwindows/sys_info.h"
#include "mainwindow/my_main_form.h"
#include "scripted_platform.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using platform::StoredValue;

namespace {

const QString programKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString unavailable = "System Information Is Unavailable At This Time";

StoredValue text(const QString& value) {
    return {platform::REG_SZ, value.toLocal8Bit() + '\0'};
}

platform::MsgBoxRequest okBox(const QString& prompt, const QString& title) {
    return {prompt, platform::MsgButtons::OK, platform::MsgIcon::None, title};
}

// Runs `act` on the modal window that `open` brings up, and closes it after a while if the
// test did not, so that a fault fails the test instead of hanging it.
void whileModal(const std::function<void()>& open, const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(modal);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        QTest::qFail("modal window left open", __FILE__, __LINE__);
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(5000);
    open();
}

} // namespace

class AuxWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void keyValueAsText_data();
    void keyValueAsText();
    void sysInfoStartsWhatTheEntriesName_data();
    void sysInfoStartsWhatTheEntriesName();
    void aboutWindowAsDesigned();
    void aboutOpensModalAndCloses_data();
    void aboutOpensModalAndCloses();
    void tipsAndWebSiteWorkDuringAJob();
};

void AuxWindowsTest::keyValueAsText_data() {
    QTest::addColumn<uint>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("held");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, uint type, QByteArray data, const char* held, bool read,
                        const char* expected) {
        QTest::newRow(name) << type << data << QString(held) << read << QString(expected);
    };
    row("string with its NUL", 1, {"/usr/bin/x\0", 11}, "old", true, "/usr/bin/x");
    row("string without NUL keeps last character", 1, "/usr/bin/x", "old", true, "/usr/bin/x");
    // Bytes 05 AB 00 10: from the last, each without a leading zero.
    row("dword", 4, {"\x05\xAB\x00\x10", 4}, "", true, "&h100AB5");
    row("dword after what was held", 4, "\x0C", "7", true, "&h7C");
    row("other type keeps what was held", 3, "\x01\x02", "old", true, "old");
    row("longer than the buffer", 1, QByteArray(1025, 'a'), "old", false, "");
}

// The scripted store opens keys for reading only, so every row also checks that the reader
// asks for no more.
void AuxWindowsTest::keyValueAsText() {
    QFETCH(uint, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, held);
    QFETCH(bool, read);
    QFETCH(QString, expected);
    ScriptedPlatform desktop;
    desktop.keyValues[{"K", "V"}] = StoredValue{type, data};
    QString value = held;
    QCOMPARE(GetKeyValue(HKEY_LOCAL_MACHINE, "K", "V", value), read);
    QCOMPARE(value, expected);

    value = "old";
    QCOMPARE(GetKeyValue(HKEY_LOCAL_MACHINE, "K", "missing", value), false);
    QCOMPARE(value, QString());
}

void AuxWindowsTest::sysInfoStartsWhatTheEntriesName_data() {
    // "<dir>" stands for a folder the test makes; "<dir>/MSINFO32.EXE" exists when asked.
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("programInFolder");
    QTest::addColumn<bool>("startWorks");
    QTest::addColumn<QString>("started");
    QTest::addColumn<bool>("message");
    const auto row = [](const char* name, const char* first, const char* second,
                        bool programInFolder, bool startWorks, const char* started, bool message) {
        QTest::newRow(name) << QString(first) << QString(second) << programInFolder << startWorks
                            << QString(started) << message;
    };
    row("first before second", "/opt/info", "<dir>", true, true, "/opt/info", false);
    row("second, program in folder", "", "<dir>", true, true, "<dir>/MSINFO32.EXE", false);
    row("second, folder without program", "", "<dir>", false, true, "", true);
    row("first names a missing program", "/no/such", "", false, false, "/no/such", true);
    row("neither entry", "", "", false, true, "", true);
}

void AuxWindowsTest::sysInfoStartsWhatTheEntriesName() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, programInFolder);
    QFETCH(bool, startWorks);
    QFETCH(QString, started);
    QFETCH(bool, message);
    QTemporaryDir dir;
    if (programInFolder) {
        QFile program(dir.filePath("MSINFO32.EXE"));
        QVERIFY(program.open(QIODevice::WriteOnly));
    }
    ScriptedPlatform desktop;
    if (!first.isEmpty())
        desktop.keyValues[{programKey, "PATH"}] = text(first);
    if (!second.isEmpty())
        desktop.keyValues[{folderKey, "MSINFO"}] = text(second.replace("<dir>", dir.path()));
    desktop.startProgramResult = startWorks;
    if (message)
        desktop.expectOkBoxes(1);

    frmAbout about(nullptr);
    about.show();
    QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);

    const QStringList expectedStarts =
        started.isEmpty() ? QStringList() : QStringList{started.replace("<dir>", dir.path())};
    QCOMPARE(desktop.startedPrograms, expectedStarts);
    QCOMPARE(desktop.boxes,
             message ? QList{okBox(unavailable, "picreel")} : QList<platform::MsgBoxRequest>());
    QVERIFY(about.isVisible());
}

void AuxWindowsTest::aboutWindowAsDesigned() {
    ScriptedPlatform desktop;
    frmAbout about(nullptr);
    about.Form_Load();
    QCOMPARE(about.windowTitle(), QString("About PICREEL.EXE"));
    QCOMPARE(about.size(), QSize(382, 237));
    QVERIFY(!(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(about.lblVersion->text(), QString("Version 1.04"));
    QCOMPARE(about.lblTitle->text(), QString("picreel"));
    QCOMPARE(about.lblDescription->text(),
             QString("Select picture files (BMP, JPG or GIF) and write them into a single AVI "
                     "video file.  This can then be used to import into a video authoring "
                     "package for simple layout.  Use SIZEMATE program to prepare all picture "
                     "files to the same size/colour format."));
    QCOMPARE(about.lblDisclaimer->text(),
             QString("Copyright \u00A9 Fernquill\r\nAll rights reserved.\r\n\r\n"
                     "https://www.fernquill.example/"));
    QCOMPARE(about.cmdOK->text(), QString("OK"));
    QVERIFY(about.cmdOK->isDefault());
    QCOMPARE(about.cmdSysInfo->text(), QString("&System Info..."));

    frmAbout later(nullptr, {1, 0, 12});
    later.Form_Load();
    QCOMPARE(later.lblVersion->text(), QString("Version 1.012"));
}

void AuxWindowsTest::aboutOpensModalAndCloses_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

// The About window does not look at the busy marker either: it opens during a job.
void AuxWindowsTest::aboutOpensModalAndCloses() {
    QFETCH(int, key);
    ScriptedPlatform desktop;
    MyMainForm form;
    form.Form_Load();
    form.setBusy(true);
    QString opened;
    QPoint centre;
    bool appModal = false;
    whileModal([&] { form.AboutMenu->trigger(); },
               [&](QWidget* modal) {
                   opened = modal->objectName();
                   centre = modal->frameGeometry().center();
                   appModal = modal->windowModality() == Qt::ApplicationModal;
                   QWidget* focus = modal->focusWidget() ? modal->focusWidget() : modal;
                   QTest::keyClick(focus, Qt::Key(key));
               });
    QCOMPARE(opened, QString("frmAbout"));
    QVERIFY(appModal);
    QVERIFY((centre - form.frameGeometry().center()).manhattanLength() <= 2);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(!form.AbortRequested);
}

// Neither command looks at the busy marker: both act during a job and leave AbortRequested
// alone; a missing browser is not reported.
void AuxWindowsTest::tipsAndWebSiteWorkDuringAJob() {
    ScriptedPlatform desktop;
    MyMainForm form;
    form.Form_Load();
    form.setBusy(true);
    QVERIFY(form.isBusy());

    desktop.expectOkBoxes(1);
    form.TipsMenu->trigger();
    const QStringList tips = {
        "PICREEL creates a standard \"Video for Windows(tm)\" format file.",
        "It is a video only AVI file.  The video frame size and color-depth",
        "are set by the FIRST picture file in the list.",
        "",
        "All picture files MUST be of the same size/color-depth.",
        "Bitmap (BMP), Jpeg (JPG) and GIF files can be loaded into PICREEL.",
        "Use SIZEMATE.EXE to make all pictures the same size and color depth.",
        "",
        "AVI files can become very large. Select compression to reduce file size.",
        "",
        "When assembling the pictures into a video use the Frames/Sec Setting.",
        "Use the Duration(Sec)/Picture setting when making a slide show of stills.",
        "",
        "Refer to the Menu for keyboard key shortcuts for faster operation.",
        "",
        "Point the mouse to any picture or filename and Right-Click",
        "to present a full-size preview of the picture."};
    QCOMPARE(desktop.takeBoxes(), QList{okBox(tips.join("\r\n"), "Help - Tips")});

    desktop.openDocumentResult = false;
    form.FernquillMenu->trigger();
    QCOMPARE(desktop.openedDocuments, QStringList{"https://www.fernquill.example/"});
    QCOMPARE(desktop.boxes, QList<platform::MsgBoxRequest>());
    QVERIFY(!form.AbortRequested);
    QVERIFY(form.isBusy());
}

QTEST_MAIN(AuxWindowsTest)
#include "tst_auxwindows.moc"
