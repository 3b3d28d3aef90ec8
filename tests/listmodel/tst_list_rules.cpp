#include "listmodel/list_rules.h"

#include <QTest>

using namespace listmodel;

class ListRulesTest : public QObject {
    Q_OBJECT

private slots:
    void selectionRules_data();
    void selectionRules();
    void laterCopies_data();
    void laterCopies();
};

// One row per rule and case: the rule's answer for a selection in a list of `count`.
void ListRulesTest::selectionRules_data() {
    QTest::addColumn<QString>("rule");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");

    QTest::newRow("insert, none selected: first") << "insert" << -1 << 3 << 0;
    QTest::newRow("insert at the selection") << "insert" << 2 << 4 << 2;
    QTest::newRow("remove middle: the one moving up") << "remove" << 1 << 2 << 1;
    QTest::newRow("remove last: the new last") << "remove" << 2 << 2 << 1;
    QTest::newRow("add: next file") << "add" << 0 << 3 << 1;
    QTest::newRow("add: after the last, none") << "add" << 2 << 3 << -1;
    QTest::newRow("add: none selected") << "add" << -1 << 3 << -1;
    QTest::newRow("up from second") << "up" << 1 << 3 << 0;
    QTest::newRow("up from first: no move") << "up" << 0 << 3 << -1;
    QTest::newRow("down from second to last") << "down" << 1 << 3 << 2;
    QTest::newRow("down from last: no move") << "down" << 2 << 3 << -1;
    QTest::newRow("down, none selected") << "down" << -1 << 3 << -1;
}

void ListRulesTest::selectionRules() {
    QFETCH(QString, rule);
    QFETCH(int, selected);
    QFETCH(int, count);
    QFETCH(int, expected);
    int actual = -2;
    if (rule == "insert")
        actual = insertPosition(selected);
    else if (rule == "remove")
        actual = selectionAfterRemove(selected, count);
    else if (rule == "add")
        actual = fileRowAfterAdd(selected, count);
    else if (rule == "up")
        actual = shiftUpTarget(selected);
    else if (rule == "down")
        actual = shiftDownTarget(selected, count);
    QCOMPARE(actual, expected);
}

void ListRulesTest::laterCopies_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<int>>("removedInOrder");

    QTest::newRow("a b a c b") << QStringList{"a", "b", "a", "c", "b"} << QList<int>{4, 2};
    QTest::newRow("differ only in case") << QStringList{"C:\\X.BMP", "c:\\x.bmp"} << QList<int>{};
}

void ListRulesTest::laterCopies() {
    QFETCH(QStringList, entries);
    QFETCH(QList<int>, removedInOrder);
    QCOMPARE(listmodel::laterCopies(entries), removedInOrder);
}

QTEST_APPLESS_MAIN(ListRulesTest)
#include "tst_list_rules.moc"
