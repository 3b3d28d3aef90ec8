#include "test_io.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

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
    void installHoldsProgramsMenuEntryIconAndManuals() {
        QTemporaryDir prefix;
        run(CMAKE_COMMAND, {"--install", PICREEL_BUILD_DIR, "--prefix", prefix.path()});
        // The menu entry, the icon, picreel-make and its manual are read below.
        for (const char* file : {"bin/picreel", "share/man/man1/picreel.1"})
            QVERIFY2(QFile::exists(prefix.filePath(file)), file);

        QCOMPARE(
            run("desktop-file-validate", {prefix.filePath("share/applications/picreel.desktop")}),
            QByteArray());
        QCOMPARE(QImage(prefix.filePath("share/icons/hicolor/48x48/apps/picreel.png")).size(),
                 QSize(48, 48));

        // The installed program runs, and its help and its manual name the same options.
        const QString help =
            QString::fromLocal8Bit(run(prefix.filePath("bin/picreel-make"), {"--help"}));
        const QString page =
            QString::fromUtf8(readFile(prefix.filePath("share/man/man1/picreel-make.1")))
                .remove(u'\\');
        QCOMPARE(longOptions(page), longOptions(help));
        for (const QString& status : QStringList{"64", "130"})
            QVERIFY(help.contains("  " + status + " ") && page.contains(".B " + status + "\n"));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
