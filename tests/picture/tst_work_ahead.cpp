#include "picture/work_ahead.h"
#include "test_io.h"

#include <QDateTime>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <atomic>

using picture::AheadBudget;
using Ahead = picture::WorkAhead<QByteArray>;

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

// Rewrites `path` with as many bytes, a second later by its clock: only the stamp tells.
void rewrite(const QString& path, const QByteArray& bytes) {
    writeFile(path, bytes);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(1),
                             QFileDevice::FileModificationTime));
}

// Keeps every worker of the process's pool busy until released.
struct HeldWorkers {
    HeldWorkers() {
        for (int i = 0; i < picture::AheadPool().maxThreadCount(); ++i)
            picture::AheadPool().start([this] { gate.acquire(); });
    }
    ~HeldWorkers() { gate.release(picture::AheadPool().maxThreadCount()); }
    QSemaphore gate;
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
        AheadBudget budget(row.budget);
        Ahead ahead({[](const QString&) { return std::size_t(100); },
                     [&](const QString& path) {
                         ++made;
                         if (row.work == Work::Throws)
                             throw std::runtime_error("cannot");
                         return readFile(path);
                     }},
                    budget);
        QStringList expected;
        for (const QString& name : row.expected)
            expected << dir.filePath(name);
        ahead.expect(expected);
        const QString asked = dir.filePath(row.asked);
        if (row.meanwhile == Meanwhile::Rewritten) {
            QVERIFY(ahead.take(asked)); // the work is done before the change
            rewrite(asked, "A");
        }
        const std::optional<QByteArray> result = ahead.take(asked);
        QCOMPARE(result ? Taken::Result : Taken::Nothing, row.taken);
        if (result)
            QCOMPARE(*result, row.asked.toLatin1());
        QCOMPARE_LE(made.load(), expected.size());
    }

    // Results for files no longer expected are let go, and so is their share of the budget;
    // the rest stay for a second asking, unless handed over.
    void keepsOnlyWhatIsStillExpected() {
        QTemporaryDir dir;
        const QString a = dir.filePath("a"), b = dir.filePath("b"), c = dir.filePath("c");
        for (const QString& path : {a, b, c})
            writeFile(path, "x");
        QSemaphore cMayEnd;
        AheadBudget budget(1000);
        Ahead ahead({[](const QString&) { return std::size_t(100); },
                     [&](const QString& path) {
                         if (path == c) // still at work when b is handed over
                             cMayEnd.acquire();
                         return path.toUtf8();
                     }},
                    budget);
        ahead.expect({a, b, c});
        QVERIFY(ahead.take(a));
        QVERIFY(ahead.take(a));
        const std::optional<QByteArray> handedOver = ahead.take(b, Ahead::Keep::No);
        QVERIFY(handedOver);
        QVERIFY(!ahead.take(b));
        cMayEnd.release();
        QVERIFY(ahead.take(c));
        QCOMPARE(budget.held(), std::size_t(200)); // a's and c's, not b's
        ahead.expect({c});
        QVERIFY(!ahead.take(a));
        QVERIFY(ahead.take(c));
        QCOMPARE(budget.held(), std::size_t(100));
        ahead.expect({});
        QCOMPARE(budget.held(), std::size_t(0));
    }

    // With every worker busy elsewhere, asking never waits: `ready` says nothing is at hand,
    // and taking does the work on the caller's thread, once.
    void workNoWorkerStartedIsDoneByTheCaller() {
        QTemporaryDir dir;
        const QString a = dir.filePath("a");
        writeFile(a, "a");
        std::atomic<int> made = 0;
        QThread* madeOn = nullptr;
        Ahead ahead({[](const QString&) { return std::size_t(1); },
                     [&](const QString& path) {
                         ++made;
                         madeOn = QThread::currentThread();
                         return readFile(path);
                     }});
        bool done = false;
        {
            HeldWorkers held;
            ahead.expect({a});
            QVERIFY(!ahead.ready(a));
            QVERIFY(ahead.whenDone(a, this, [&] { done = true; }));
            QCOMPARE(ahead.take(a).value_or(""), QByteArray("a"));
            QCOMPARE(madeOn, QThread::currentThread());
            QCOMPARE(ahead.ready(a).value_or(""), QByteArray("a"));
        }
        picture::AheadPool().waitForDone();
        QTRY_VERIFY(done);
        QCOMPARE(made.load(), 1);
        QVERIFY(!ahead.whenDone(a, this, [] {})); // ended already
    }
};

QTEST_GUILESS_MAIN(WorkAheadTest)
#include "tst_work_ahead.moc"
