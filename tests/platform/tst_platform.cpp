#include "platform/instance_folder.h"
#include "platform/qt/qt_platform.h"
#include "platform/system_info_store.h"
#include "platform/windows_directory.h"
#include "scripted_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <sys/stat.h>

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void windowsDirectoryPathAppendsOneSeparator_data();
    void windowsDirectoryPathAppendsOneSeparator();
    void noPrivateFolderIsToldAtStartup();
    void runningCopiesNeverShareAFolder();
    void instanceFolderRefusesForeignOrLinkedBase();
    void desktopBoxesShowWhatTheyAreAsked_data();
    void desktopBoxesShowWhatTheyAreAsked();
    void classicFiltersBecomeQtFilters();
    void storeNamesTheFirstInstalledSystemInfoProgram();
};

void PlatformTest::windowsDirectoryPathAppendsOneSeparator_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("expected");
    // A folder that already ends with the separator still gets one more, as before.
    QTest::newRow("root") << "/" << QChar(u'/') << "//";
    QTest::newRow("spaces trimmed") << "  /tmp/w  " << QChar(u'/') << "/tmp/w/";
    QTest::newRow("cut at NUL") << QString("/tmp/w") + QChar(0) + "junk" << QChar(u'/')
                                << "/tmp/w/";
}

void PlatformTest::windowsDirectoryPathAppendsOneSeparator() {
    QFETCH(QString, folder);
    QFETCH(QChar, separator);
    QFETCH(QString, expected);
    ScriptedPlatform desktop;
    desktop.windowsDir = folder;
    QCOMPARE(platform::WindowsDirectoryPath(separator), expected);
}

// Without a private folder nothing can be converted: the user hears so once, at start-up.
void PlatformTest::noPrivateFolderIsToldAtStartup() {
    ScriptedPlatform desktop;
    QVERIFY2(platform::CheckWindowsDirectory(), qPrintable(desktop.windowsDir));
    QCOMPARE(desktop.takeBoxes().size(), 0);

    desktop.windowsDir = " ";
    desktop.expectOkBoxes(1);
    QCOMPARE(platform::CheckWindowsDirectory(), false);
    const QList<platform::MsgBoxRequest> boxes = desktop.takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].prompt,
             QString("PICREEL could not make its private folder for temporary pictures.\r\n"
                     "Pictures can be browsed and previewed, but no AVI file can be made until "
                     "PICREEL is started again."));
    QCOMPARE(boxes[0].icon, platform::MsgIcon::Critical);
}

// Two copies of the program running at once each get their own folder (and so their own
// temporary picture); a copy that has ended leaves its folder to the next one.
void PlatformTest::runningCopiesNeverShareAFolder() {
    QTemporaryDir base;
    const QString root = base.filePath("picreel");
    auto first = platform::InstanceFolder::claim(root);
    auto second = platform::InstanceFolder::claim(root);
    QVERIFY2(first, qPrintable(root));
    QVERIFY2(second, qPrintable(root));
    QVERIFY(first->path() != second->path());
    for (const QString& dir : {root, first->path(), first->path() + "/TEMP"}) {
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(dir).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
    }
    QVERIFY(QFileInfo(second->path() + "/TEMP").isDir());

    const QString firstPath = first->path();
    first.reset();
    auto third = platform::InstanceFolder::claim(root);
    QVERIFY(third);
    QCOMPARE(third->path(), firstPath);
}

void PlatformTest::instanceFolderRefusesForeignOrLinkedBase() {
    QTemporaryDir scratch;
    // A link planted where our folder should be is not followed.
    QVERIFY(QFile::link(scratch.path(), scratch.filePath("linked")));
    QVERIFY(!platform::InstanceFolder::claim(scratch.filePath("linked")));
    // A file in the way.
    QFile file(scratch.filePath("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(!platform::InstanceFolder::claim(scratch.filePath("file")));
    // A base with loose permissions is tightened, not used as it is.
    QVERIFY(QDir().mkdir(scratch.filePath("loose")));
    QFile::setPermissions(scratch.filePath("loose"), QFileDevice::Permissions(0x7777));
    QVERIFY(platform::InstanceFolder::claim(scratch.filePath("loose")));
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(scratch.filePath("loose")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0700u);
}

void PlatformTest::desktopBoxesShowWhatTheyAreAsked_data() {
    using platform::MsgAnswer;
    using platform::MsgButtons;
    using platform::MsgIcon;
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<QMessageBox::Icon>("qtIcon");
    QTest::addColumn<QString>("shownButtons");
    QTest::addColumn<QString>("press");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("ok, critical") << MsgButtons::OK << MsgIcon::Critical << QMessageBox::Critical
                                  << "OK"
                                  << "OK" << MsgAnswer::OK;
    QTest::newRow("yes/no, exclamation, yes")
        << MsgButtons::YesNo << MsgIcon::Exclamation << QMessageBox::Warning << "Yes No"
        << "Yes" << MsgAnswer::Yes;
    QTest::newRow("yes/no, no icon, no")
        << MsgButtons::YesNo << MsgIcon::None << QMessageBox::NoIcon << "Yes No"
        << "No" << MsgAnswer::No;
    QTest::newRow("ok, information")
        << MsgButtons::OK << MsgIcon::Information << QMessageBox::Information << "OK"
        << "OK" << MsgAnswer::OK;
}

// The real boxes, driven from a timer while they are up.
void PlatformTest::desktopBoxesShowWhatTheyAreAsked() {
    QFETCH(platform::MsgButtons, buttons);
    QFETCH(platform::MsgIcon, icon);
    QFETCH(QMessageBox::Icon, qtIcon);
    QFETCH(QString, shownButtons);
    QFETCH(QString, press);
    QFETCH(platform::MsgAnswer, answer);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    platform::QtPlatform desktop;
    QVERIFY(desktop.windowsDirectory().startsWith(runtime.path() + "/picreel/"));

    QString title, text, shown;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        shownIcon = box->icon();
        QAbstractButton* toPress = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            const QString caption = b->text().remove(u'&');
            shown += caption + u' ';
            if (caption == press)
                toPress = b;
        }
        if (toPress)
            toPress->click();
        else
            box->reject();
    });
    const auto result = desktop.messageBox({"Line one\r\nLine two", buttons, icon, "Title"});
    QCOMPARE(result, answer);
    QCOMPARE(title, QString("Title"));
    QCOMPARE(text, QString("Line one\r\nLine two"));
    QCOMPARE(shownIcon, qtIcon);
    QCOMPARE(shown.trimmed(), shownButtons);
}

void PlatformTest::classicFiltersBecomeQtFilters() {
    QCOMPARE(platform::qtNameFilters("AVI Files (*.avi)|*.avi|All files (*.*)|*.*"),
             (QStringList{"AVI Files (*.avi) (*.avi)", "All files (*.*) (*)"}));
    QCOMPARE(platform::qtNameFilters("Pictures|*.bmp;*.jpg;*.gif"),
             (QStringList{"Pictures (*.bmp *.jpg *.gif)"}));
    QCOMPARE(platform::qtNameFilters(""), QStringList());
}

// The registry stand-in answers the System Info entry alone, read-only, with the first
// candidate program found.
void PlatformTest::storeNamesTheFirstInstalledSystemInfoProgram() {
    using namespace platform;
    namespace store = system_info_store;
    QTemporaryDir bin;
    const auto install = [&](const QString& name) {
        QFile program(bin.filePath(name));
        QVERIFY(program.open(QIODevice::WriteOnly));
        QVERIFY(program.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    };
    const QString key = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const auto lookUp = [&](const QString& k, const QString& name, KeyAccess access) {
        return store::value(KeyRoot::LocalMachine, k, name, access, {bin.path()});
    };
    QVERIFY(!lookUp(key, "PATH", KeyAccess::Read));

    const QStringList candidates = store::candidatePrograms();
    install(candidates.last());
    install(candidates.at(1));
    const StoredValue expected{REG_SZ, QFile::encodeName(bin.filePath(candidates.at(1))) + '\0'};
    QVERIFY(lookUp(key, "PATH", KeyAccess::Read) == expected);
    QVERIFY(lookUp(key.toLower(), "path", KeyAccess::Read) == expected);
    QVERIFY(!lookUp(key, "PATH", KeyAccess::AllAccess));
    QVERIFY(!lookUp("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", KeyAccess::Read));
}

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
