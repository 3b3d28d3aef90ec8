#include "listmodel/list_rules.h"

#include <QTest>

using namespace listmodel;

namespace {
// Where a command puts the selection, or the row it works on: -1 for none.
enum class Rule { Remove, Add, Down };
} // namespace

class ListRulesTest : public QObject {
    Q_OBJECT

private slots:
    // The rule's answer for a selection in a list of `count` (after a removal: what is left).
    // The list commands' test reaches the others through the window: Insert with and without
    // a selection, Remove of the last entry, Add along the folder, Shift up from the second
    // entry and from the first, Shift down from the second.
    void selectionRules_data() {
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("expected");
        QTest::newRow("remove middle: the one moving up") << Rule::Remove << 1 << 2 << 1;
        QTest::newRow("add: after the last, none") << Rule::Add << 2 << 3 << -1;
        QTest::newRow("down from last: no move") << Rule::Down << 2 << 3 << -1;
        QTest::newRow("down, none selected") << Rule::Down << -1 << 3 << -1;
    }
    void selectionRules() {
        QFETCH(Rule, rule);
        QFETCH(int, selected);
        QFETCH(int, count);
        QFETCH(int, expected);
        switch (rule) {
        case Rule::Remove:
            QCOMPARE(selectionAfterRemove(selected, count), expected);
            break;
        case Rule::Add:
            QCOMPARE(fileRowAfterAdd(selected, count), expected);
            break;
        case Rule::Down:
            QCOMPARE(shiftDownTarget(selected, count), expected);
            break;
        }
    }

    // Only exact matches are copies: two spellings of one path stay two entries. Which copies
    // go, and in what order, is the list commands' test.
    void laterCopies() {
        QCOMPARE(listmodel::laterCopies({"/pics/A.BMP", "/pics/a.bmp"}), QList<int>());
    }
};

QTEST_APPLESS_MAIN(ListRulesTest)
#include "tst_list_rules.moc"
