#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Output {
    int exitCode = -1;
    QString text; // standard output and error together
};

Output runProgram(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAll())};
}

// The long options a text names, such as "--from-list".
QSet<QString> longOptions(const QString& text) {
    QSet<QString> names;
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*[a-z]"));
    for (const auto& m : option.globalMatch(text))
        names.insert(m.captured());
    return names;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void installHoldsProgramsMenuEntryIconAndManuals();
};

void TestInstall::installHoldsProgramsMenuEntryIconAndManuals() {
    QTemporaryDir prefix;
    const Output install =
        runProgram(CMAKE_COMMAND, {"--install", PICREEL_BUILD_DIR, "--prefix", prefix.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.text));
    const QStringList files{"bin/picreel",
                            "bin/picreel-make",
                            "share/applications/picreel.desktop",
                            "share/icons/hicolor/48x48/apps/picreel.png",
                            "share/man/man1/picreel.1",
                            "share/man/man1/picreel-make.1"};
    for (const QString& file : files)
        QVERIFY2(QFile::exists(prefix.filePath(file)), qPrintable(file));

    const Output valid = runProgram("desktop-file-validate",
                                    {prefix.filePath("share/applications/picreel.desktop")});
    QCOMPARE(valid.text, QString());
    QCOMPARE(valid.exitCode, 0);
    QCOMPARE(QImage(prefix.filePath("share/icons/hicolor/48x48/apps/picreel.png")).size(),
             QSize(48, 48));

    // The installed program runs, and its help and its manual name the same options.
    const Output help = runProgram(prefix.filePath("bin/picreel-make"), {"--help"});
    QCOMPARE(help.exitCode, 0);
    QFile manual(prefix.filePath("share/man/man1/picreel-make.1"));
    QVERIFY(manual.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(manual.readAll()).remove(QLatin1Char('\\'));
    QCOMPARE(longOptions(page), longOptions(help.text));
    for (const QString& status : QStringList{"64", "130"})
        QVERIFY(help.text.contains("  " + status + " ") && page.contains(".B " + status + "\n"));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
