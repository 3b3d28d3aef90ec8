#include "picture/work_ahead.h"
#include "test_io.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

using picture::WorkAhead;

namespace {

enum class Work { Succeeds, Throws };
// What happens to a file between asking for it ahead and taking it.
enum class Meanwhile { Nothing, Rewritten };
enum class Taken { Result, Nothing };

struct AheadRow {
    QStringList expected; // what the caller says it will ask for
    QString asked;        // what it then takes
    std::size_t budget = 1000;
    Work work = Work::Succeeds;
    Meanwhile meanwhile = Meanwhile::Nothing;
    Taken taken = Taken::Result;
};

} // namespace

Q_DECLARE_METATYPE(AheadRow)

// Work done ahead must hand out only what doing it at the moment of asking would give.
class WorkAheadTest : public QObject {
    Q_OBJECT

private slots:
    void handsOutOnlyWhatStands_data() {
        QTest::addColumn<AheadRow>("row");
        QTest::newRow("expected, unchanged") << AheadRow{.expected = {"a", "b"}, .asked = "b"};
        QTest::newRow("not expected")
            << AheadRow{.expected = {"a"}, .asked = "b", .taken = Taken::Nothing};
        QTest::newRow("rewritten after the work") << AheadRow{.expected = {"a"},
                                                              .asked = "a",
                                                              .meanwhile = Meanwhile::Rewritten,
                                                              .taken = Taken::Nothing};
        QTest::newRow("the work failed") << AheadRow{
            .expected = {"a"}, .asked = "a", .work = Work::Throws, .taken = Taken::Nothing};
        QTest::newRow("beyond the memory budget")
            << AheadRow{.expected = {"a"}, .asked = "a", .budget = 10, .taken = Taken::Nothing};
    }
    void handsOutOnlyWhatStands() {
        QFETCH(AheadRow, row);
        QTemporaryDir dir;
        for (const char* name : {"a", "b"})
            writeFile(dir.filePath(name), name);
        std::atomic<int> made = 0;
        WorkAhead ahead({[](const QString&) { return std::size_t(100); },
                         [&](const QString& path) -> WorkAhead::Result {
                             ++made;
                             if (row.work == Work::Throws)
                                 throw std::runtime_error("cannot");
                             return std::make_shared<QByteArray>(readFile(path));
                         }},
                        2, row.budget);
        QStringList expected;
        for (const QString& name : row.expected)
            expected << dir.filePath(name);
        ahead.expect(expected);
        const QString asked = dir.filePath(row.asked);
        if (row.meanwhile == Meanwhile::Rewritten) {
            QVERIFY(ahead.take(asked) != nullptr); // the work is done before the change
            QTest::qWait(20);                      // the file clock is coarser than its nanoseconds
            writeFile(asked, "A");                 // same length: only the times tell
        }
        const auto result = std::static_pointer_cast<const QByteArray>(ahead.take(asked));
        QCOMPARE(result ? Taken::Result : Taken::Nothing, row.taken);
        if (result)
            QCOMPARE(*result, row.asked.toLatin1());
        QCOMPARE_LE(made.load(), expected.size());
    }

    // Results for files no longer expected are let go; the rest stay for a second asking.
    void keepsOnlyWhatIsStillExpected() {
        QTemporaryDir dir;
        const QString a = dir.filePath("a"), b = dir.filePath("b"), c = dir.filePath("c");
        for (const QString& path : {a, b, c})
            writeFile(path, "x");
        WorkAhead ahead({[](const QString&) { return std::size_t(1); },
                         [&](const QString& path) -> WorkAhead::Result {
                             if (path == c) // still at work when b is handed over
                                 std::this_thread::sleep_for(std::chrono::milliseconds(50));
                             return std::make_shared<QString>(path);
                         }},
                        1, 1000);
        ahead.expect({a, b, c});
        QVERIFY(ahead.take(a) != nullptr);
        QVERIFY(ahead.take(a) != nullptr);
        QVERIFY(ahead.take(b, WorkAhead::Keep::No) != nullptr);
        QVERIFY(ahead.take(b) == nullptr);
        QVERIFY(ahead.take(c) != nullptr);
        ahead.expect({c});
        QVERIFY(ahead.take(a) == nullptr);
        QVERIFY(ahead.take(c) != nullptr);
    }
};

QTEST_GUILESS_MAIN(WorkAheadTest)
#include "tst_work_ahead.moc"
