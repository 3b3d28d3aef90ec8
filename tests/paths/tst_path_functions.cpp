#include "paths/path_functions.h"

#include <QTest>

namespace {
enum class Rule { Strip, Name, Folder, Join };
}

// The path rules, checked with the classic backslash and again with "/". The natural order
// of names is checked where the file list shows it.
class PathFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void rules_data() {
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expected");
        // Written with the classic backslash; each row runs once with it and once with "/".
        const auto row = [](const char* name, Rule rule, QString a, QString b, QString expected) {
            for (const QChar separator : {QChar(u'\\'), QChar(u'/')}) {
                const auto with = [&](QString path) { return path.replace(u'\\', separator); };
                QTest::addRow("%s [%c]", name, separator.toLatin1())
                    << rule << separator << with(a) << with(b) << with(expected);
            }
        };
        row("strip folder", Rule::Strip, "C:\\pics\\", "", "C:\\pics");
        row("strip root", Rule::Strip, "C:\\", "", "C:");
        row("strip only one", Rule::Strip, "C:\\pics\\\\", "", "C:\\pics\\");
        row("strip empty", Rule::Strip, "", "", "");
        row("name of file", Rule::Name, "C:\\pics\\a.bmp", "", "a.bmp");
        row("name of folder", Rule::Name, "C:\\pics\\", "", "pics");
        row("name bare", Rule::Name, "a.bmp", "", "");
        row("folder of file", Rule::Folder, "C:\\pics\\a.bmp", "", "C:\\pics\\");
        row("folder of folder", Rule::Folder, "C:\\pics\\", "", "C:\\");
        row("folder of root", Rule::Folder, "C:\\", "", "");
        row("join", Rule::Join, "C:\\pics", "a.bmp", "C:\\pics\\a.bmp");
        row("join trailing", Rule::Join, "C:\\pics\\", "a.bmp", "C:\\pics\\a.bmp");
        row("join empty folder", Rule::Join, "", "a.bmp", "");
    }
    void rules() {
        QFETCH(Rule, rule);
        QFETCH(QChar, separator);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        switch (rule) {
        case Rule::Strip:
            QCOMPARE(paths::StripTrailingBackslash(a, separator), expected);
            break;
        case Rule::Name:
            QCOMPARE(paths::FileNamePart(a, separator), expected);
            break;
        case Rule::Folder:
            QCOMPARE(paths::FolderPart(a, separator), expected);
            break;
        case Rule::Join:
            QCOMPARE(paths::JoinPath(a, b, separator), expected);
            break;
        }
    }
};

QTEST_GUILESS_MAIN(PathFunctionsTest)
#include "tst_path_functions.moc"
