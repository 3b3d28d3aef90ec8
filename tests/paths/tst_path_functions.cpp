#include "paths/natural_order.h"
#include "paths/path_functions.h"

#include <QTest>

// The path rules, checked with the classic backslash and again with "/".
class PathFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void naturalOrder_data();
    void naturalOrder();
};

void PathFunctionsTest::rules_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, const char* call, QString a, QString b, QString result) {
        for (const char* sep : {"\\", "/"}) {
            const auto swap = [&](QString s) { return s.replace(u'\\', QLatin1String(sep)); };
            QTest::addRow("%s [%s]", name, sep) << call << swap(a) << swap(b) << swap(result);
        }
    };
    row("strip folder", "strip", "C:\\pics\\", "", "C:\\pics");
    row("strip root", "strip", "C:\\", "", "C:");
    row("strip only one", "strip", "C:\\pics\\\\", "", "C:\\pics\\");
    row("strip empty", "strip", "", "", "");
    row("name of file", "name", "C:\\pics\\a.bmp", "", "a.bmp");
    row("name of folder", "name", "C:\\pics\\", "", "pics");
    row("name bare", "name", "a.bmp", "", "");
    row("name empty", "name", "", "", "");
    row("folder of file", "folder", "C:\\pics\\a.bmp", "", "C:\\pics\\");
    row("folder of folder", "folder", "C:\\pics\\", "", "C:\\");
    row("folder of root", "folder", "C:\\", "", "");
    row("folder of root file", "folder", "C:\\x.bmp", "", "C:\\");
    row("folder empty", "folder", "", "", "");
    row("join", "join", "C:\\pics", "a.bmp", "C:\\pics\\a.bmp");
    row("join trailing", "join", "C:\\pics\\", "a.bmp", "C:\\pics\\a.bmp");
    row("join root", "join", "C:\\", "x.bmp", "C:\\x.bmp");
    row("join empty folder", "join", "", "a.bmp", "");
    // Linux roots: the volume root is just the separator.
    QTest::addRow("unix root join") << "join"
                                    << "/"
                                    << "x.bmp"
                                    << "/x.bmp";
    QTest::addRow("unix root folder") << "folder"
                                      << "/x.bmp"
                                      << ""
                                      << "/";
    QTest::addRow("unix root strip") << "strip"
                                     << "/"
                                     << ""
                                     << "";
}

void PathFunctionsTest::rules() {
    QFETCH(QString, call);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, expected);
    const QChar sep = QString::fromLatin1(QTest::currentDataTag()).contains(u'\\') ? u'\\' : u'/';
    QString actual;
    if (call == "strip")
        actual = StripTrailingBackslash(a, sep);
    else if (call == "name")
        actual = FileNamePart(a, sep);
    else if (call == "folder")
        actual = FolderPart(a, sep);
    else
        actual = JoinPath(a, b, sep);
    QCOMPARE(actual, expected);
}

void PathFunctionsTest::naturalOrder_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("aFirst");
    QTest::newRow("digits by value") << "pic9"
                                     << "pic010" << true;
    QTest::newRow("digits by value, reversed") << "pic010"
                                               << "pic9" << false;
    QTest::newRow("letters ignore case") << "a"
                                         << "B" << true;
}

// img2 before img10, as people number their pictures.
void PathFunctionsTest::naturalOrder() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, aFirst);
    QCOMPARE(paths::naturalLess(a, b), aFirst);
}

QTEST_GUILESS_MAIN(PathFunctionsTest)
#include "tst_path_functions.moc"
