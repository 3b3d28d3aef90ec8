#include "paths/path_functions.h"

#include <QTest>

namespace {

enum class Rule { Strip, Name, Folder, Join };

struct PathRow {
    Rule rule;
    QString path; // the folder, for Join
    QString name = {};
    QString expected;
};

} // namespace

// The path rules on the paths the program gives them: absolute ones, folders from the file
// list (the root "/" among them) and the program's own folder. The natural order of names is
// checked where the file list shows it.
class PathFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void rules_data() {
        QTest::addColumn<PathRow>("row");
        QTest::newRow("strip a folder")
            << PathRow{.rule = Rule::Strip, .path = "/pics/", .expected = "/pics"};
        QTest::newRow("strip the root")
            << PathRow{.rule = Rule::Strip, .path = "/", .expected = ""};
        QTest::newRow("strip nothing")
            << PathRow{.rule = Rule::Strip, .path = "/pics", .expected = "/pics"};
        QTest::newRow("name of a file")
            << PathRow{.rule = Rule::Name, .path = "/pics/a.bmp", .expected = "a.bmp"};
        QTest::newRow("folder of a file")
            << PathRow{.rule = Rule::Folder, .path = "/pics/a.bmp", .expected = "/pics/"};
        QTest::newRow("join") << PathRow{
            .rule = Rule::Join, .path = "/pics", .name = "a.bmp", .expected = "/pics/a.bmp"};
        QTest::newRow("join in the root")
            << PathRow{.rule = Rule::Join, .path = "/", .name = "a.bmp", .expected = "/a.bmp"};
    }
    void rules() {
        QFETCH(PathRow, row);
        switch (row.rule) {
        case Rule::Strip:
            QCOMPARE(paths::StripTrailingBackslash(row.path), row.expected);
            break;
        case Rule::Name:
            QCOMPARE(paths::FileNamePart(row.path), row.expected);
            break;
        case Rule::Folder:
            QCOMPARE(paths::FolderPart(row.path), row.expected);
            break;
        case Rule::Join:
            QCOMPARE(paths::JoinPath(row.path, row.name), row.expected);
            break;
        }
    }
};

QTEST_GUILESS_MAIN(PathFunctionsTest)
#include "tst_path_functions.moc"
