#include "platform/program_version.h"
#include "test_io.h"

#include <QProcess>
#include <QTest>

namespace {

struct Ended {
    int exitCode = -1;
    QByteArray out = {};
};

// picreel on a terminal without a display: a window it tried to open would abort it.
Ended picreel(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    p.setProcessEnvironment(env);
    p.start(PICREEL, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), p.readAllStandardOutput()};
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    // Help and the version are printed and the program ends, without a window. The manuals'
    // footers name the version the program prints.
    void helpAndVersionPrintAndExit() {
        const QByteArray version = platform::versionText(platform::programVersion()).toUtf8();

        const Ended shown = picreel({"--version"});
        QCOMPARE(shown.exitCode, 0);
        QCOMPARE(shown.out, "picreel " + version + "\n");

        const Ended help = picreel({"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.startsWith("Usage: " PICREEL " [options] [FOLDER|PICTURE]\n"),
                 help.out.constData());

        for (const char* page : {"/data/picreel.1", "/data/picreel-make.1"}) {
            const QByteArray title = readFile(PICREEL_BUILD_DIR + QString(page)).split('\n')[0];
            QVERIFY2(title.endsWith(" \"PICREEL " + version + "\" \"User Commands\""),
                     title.constData());
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
