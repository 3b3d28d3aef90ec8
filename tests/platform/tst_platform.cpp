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
    void runningCopiesNeverShareAFolder();
    void instanceFolderRefusesForeignOrLinkedBase();
    void desktopBoxesShowWhatTheyAreAsked_data();
    void desktopBoxesShowWhatTheyAreAsked();
    void classicFiltersBecomeQtFilters();
    void storeNamesTheFirstInstalledSystemInfoProgram();
};

void PlatformTest::windowsDirectoryPathAppendsOneSeparator_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/run/user/1/picreel/0"
                           << "/run/user/1/picreel/0/";
    // A folder that already ends with the separator still gets one more, as before.
    QTest::newRow("root") << "/"
                          << "//";
    QTest::newRow("spaces trimmed") << "  /tmp/w  "
                                    << "/tmp/w/";
    QTest::newRow("cut at NUL") << QString("/tmp/w") + QChar(0) + "junk"
                                << "/tmp/w/";
}

void PlatformTest::windowsDirectoryPathAppendsOneSeparator() {
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    ScriptedPlatform desktop;
    desktop.windowsDir = folder;
    QCOMPARE(platform::WindowsDirectoryPath(u'/'), expected);
    QCOMPARE(platform::WindowsDirectoryPath(u'\\'),
             QString(expected).replace(expected.size() - 1, 1, u'\\'));
}

// Two copies of the program running at once each get their own folder (and so their own
// temporary picture); a copy that has ended leaves its folder to the next one.
void PlatformTest::runningCopiesNeverShareAFolder() {
    QTemporaryDir base;
    const QString root = base.filePath("picreel");
    auto first = platform::InstanceFolder::claim(root);
    auto second = platform::InstanceFolder::claim(root);
    QVERIFY(first && second);
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
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("answer");
    using namespace platform;
    QTest::newRow("ok, critical") << int(MsgButtons::OK) << int(MsgIcon::Critical)
                                  << int(QMessageBox::Critical) << "OK" << int(MsgAnswer::OK);
    QTest::newRow("yes/no, exclamation, yes")
        << int(MsgButtons::YesNo) << int(MsgIcon::Exclamation) << int(QMessageBox::Warning) << "Yes"
        << int(MsgAnswer::Yes);
    QTest::newRow("yes/no, no icon, no") << int(MsgButtons::YesNo) << int(MsgIcon::None)
                                         << int(QMessageBox::NoIcon) << "No" << int(MsgAnswer::No);
    QTest::newRow("ok, information") << int(MsgButtons::OK) << int(MsgIcon::Information)
                                     << int(QMessageBox::Information) << "OK" << int(MsgAnswer::OK);
}

// The real boxes, driven from a timer while they are up.
void PlatformTest::desktopBoxesShowWhatTheyAreAsked() {
    QFETCH(int, buttons);
    QFETCH(int, icon);
    QFETCH(int, qtIcon);
    QFETCH(QString, press);
    QFETCH(int, answer);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    platform::QtPlatform desktop;
    QVERIFY(desktop.windowsDirectory().startsWith(runtime.path() + "/picreel/"));

    QString title, text, shownButtons;
    int shownIcon = -1;
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
            shownButtons += caption + u' ';
            if (caption == press)
                toPress = b;
        }
        if (toPress)
            toPress->click();
        else
            box->reject();
    });
    const auto result = desktop.messageBox(
        {"Line one\r\nLine two", platform::MsgButtons(buttons), platform::MsgIcon(icon), "Title"});
    QCOMPARE(int(result), answer);
    QCOMPARE(title, QString("Title"));
    QCOMPARE(text, QString("Line one\r\nLine two"));
    QCOMPARE(shownIcon, qtIcon);
    QCOMPARE(shownButtons.trimmed(),
             buttons == int(platform::MsgButtons::OK) ? QString("OK") : QString("Yes No"));
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
