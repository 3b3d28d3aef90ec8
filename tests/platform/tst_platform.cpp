#include "platform/instance_folder.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/termination_signals.h"
#include "platform/system_info_store.h"
#include "platform/windows_directory.h"
#include "scripted_platform.h"
#include "test_io.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// A box asked of the desktop, what it must show and the answer a press on a button gives.
struct BoxRow {
    MsgButtons buttons;
    MsgIcon icon;
    QMessageBox::Icon shownIcon;
    QString shownButtons;
    QString press;
    MsgAnswer answer;
};

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    // Without a private folder nothing can be converted: the user hears so once, at start-up.
    void noPrivateFolderIsToldAtStartup() {
        ScriptedPlatform desktop;
        QVERIFY2(platform::CheckWindowsDirectory(), qPrintable(desktop.windowsDir));
        QCOMPARE(desktop.takeBoxes().size(), 0);

        desktop.windowsDir = " ";
        desktop.expectOkBoxes(1);
        QCOMPARE(platform::CheckWindowsDirectory(), false);
        const QString prompt =
            "PICREEL could not make its private folder for temporary pictures.\r\nPictures can "
            "be browsed and previewed, but no AVI file can be made until PICREEL is started again.";
        QCOMPARE(desktop.takeBoxes(), (QList<platform::MsgBoxRequest>{
                                          {prompt, MsgButtons::OK, MsgIcon::Critical, "picreel"}}));
    }

    // Two copies of the program running at once each get their own folder (and so their own
    // temporary picture); a copy that has ended leaves its folder to the next one.
    void runningCopiesNeverShareAFolder() {
        QTemporaryDir base;
        const QString root = base.filePath("picreel");
        auto first = platform::InstanceFolder::claim(root);
        auto second = platform::InstanceFolder::claim(root);
        QVERIFY2(first, qPrintable(root));
        QVERIFY2(second, qPrintable(root));
        QVERIFY(first->path() != second->path());
        QVERIFY(QFileInfo(second->path() + "/TEMP").isDir());

        const QString firstPath = first->path();
        writeFile(firstPath + "/TEMP/$T$.bmp", "left by a copy that crashed");
        first.reset();
        auto third = platform::InstanceFolder::claim(root);
        QVERIFY(third);
        QCOMPARE(third->path(), firstPath);
        QVERIFY(!QFile::exists(firstPath + "/TEMP/$T$.bmp"));
    }

    void instanceFolderRefusesALinkAndTightensALooseBase() {
        QTemporaryDir scratch;
        // A link planted where our folder should be is not followed.
        QVERIFY(QFile::link(scratch.path(), scratch.filePath("linked")));
        QVERIFY(!platform::InstanceFolder::claim(scratch.filePath("linked")));
        // A base with loose permissions is tightened, not used as it is.
        QVERIFY(QDir().mkdir(scratch.filePath("loose")));
        QFile::setPermissions(scratch.filePath("loose"), QFileDevice::Permissions(0x7777));
        QVERIFY(platform::InstanceFolder::claim(scratch.filePath("loose")));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(scratch.filePath("loose")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
    }

    // The real boxes, driven from a timer while they are up.
    void desktopBoxesShowWhatTheyAreAsked_data() {
        QTest::addColumn<BoxRow>("row");
        QTest::newRow("ok, critical") << BoxRow{.buttons = MsgButtons::OK,
                                                .icon = MsgIcon::Critical,
                                                .shownIcon = QMessageBox::Critical,
                                                .shownButtons = "OK",
                                                .press = "OK",
                                                .answer = MsgAnswer::OK};
        QTest::newRow("yes/no, exclamation, yes") << BoxRow{.buttons = MsgButtons::YesNo,
                                                            .icon = MsgIcon::Exclamation,
                                                            .shownIcon = QMessageBox::Warning,
                                                            .shownButtons = "Yes No",
                                                            .press = "Yes",
                                                            .answer = MsgAnswer::Yes};
        QTest::newRow("yes/no, no icon, no") << BoxRow{.buttons = MsgButtons::YesNo,
                                                       .icon = MsgIcon::None,
                                                       .shownIcon = QMessageBox::NoIcon,
                                                       .shownButtons = "Yes No",
                                                       .press = "No",
                                                       .answer = MsgAnswer::No};
    }
    void desktopBoxesShowWhatTheyAreAsked() {
        QFETCH(BoxRow, row);
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
                if (caption == row.press)
                    toPress = b;
            }
            if (toPress)
                toPress->click();
            else
                box->reject();
        });
        const auto result =
            desktop.messageBox({"Line one\r\nLine two", row.buttons, row.icon, "Title"});
        QCOMPARE(result, row.answer);
        QCOMPARE(title, QString("Title"));
        QCOMPARE(text, QString("Line one\r\nLine two"));
        QCOMPARE(shownIcon, row.shownIcon);
        QCOMPARE(shown.trimmed(), row.shownButtons);
    }

    // SIGTERM and SIGHUP reach the window as a request from its event loop, not as the end.
    void terminationSignalsBecomeARequest() {
        platform::TerminationSignals ending;
        QSignalSpy requests(&ending, &platform::TerminationSignals::requested);
        for (const int signal : {SIGTERM, SIGHUP}) {
            ::raise(signal);
            QVERIFY(requests.wait(5000));
        }
        QCOMPARE(requests.size(), 2);
    }

    // A text that shows its patterns already shows the ones Qt filters with, once.
    void classicFiltersBecomeQtFilters() {
        QCOMPARE(platform::qtNameFilters("AVI Files (*.avi)|*.avi|All files (*.*)|*.*"),
                 (QStringList{"AVI Files (*.avi)", "All files (*)"}));
        QCOMPARE(platform::qtNameFilters("Pictures|*.bmp;*.jpg;*.gif"),
                 (QStringList{"Pictures (*.bmp *.jpg *.gif)"}));
    }

    // The registry stand-in answers the System Info entry alone, with the first candidate
    // program found.
    void storeNamesTheFirstInstalledSystemInfoProgram() {
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
        const StoredValue expected{REG_SZ,
                                   QFile::encodeName(bin.filePath(candidates.at(1))) + '\0'};
        QVERIFY(lookUp(key, "PATH", KeyAccess::Read) == expected);
        QVERIFY(!lookUp("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", KeyAccess::Read));
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"
