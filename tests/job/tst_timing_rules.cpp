#include "job/timing_rules.h"

#include <QTest>
#include <limits>

namespace {

struct NumberRow {
    QString text = {};
    double value = 0;
};

struct WholeFramesRow {
    QString text = {};
    std::optional<std::int32_t> frames = {}; // nothing: does not fit 32 bits
    std::uint32_t rate = 0;
};

struct FormatRow {
    double value = 0;
    QString pattern = {};
    QString text = {};
};

enum class Box { Fps, Duration };

// The other box holds 7 when `left` is left.
struct LeftRow {
    Box left = Box::Fps;
    QString typed = {};
    QString fps = {};
    QString duration = {};
};

} // namespace

class TimingRulesTest : public QObject {
    Q_OBJECT

private slots:
    void textToNumber_data() {
        QTest::addColumn<NumberRow>("row");
        const auto row = [](const char* name, NumberRow r) { QTest::newRow(name) << r; };
        row("blanks, then trailing text", {.text = "  12abc", .value = 12});
        row("sign and exponent", {.text = "-3.5e1x", .value = -35});
        row("plus and bare point", {.text = "+.5", .value = 0.5});
        row("exponent without digits", {.text = "2e", .value = 2});
        row("no number", {.text = "abc", .value = 0});
        row("point alone", {.text = ".e5", .value = 0});
        row("blank after sign", {.text = "- 5", .value = 0});
        row("beyond double", {.text = "9e9999", .value = std::numeric_limits<double>::infinity()});
        row("below double", {.text = "1e-999", .value = 0});
    }

    void textToNumber() {
        QFETCH(NumberRow, row);
        QCOMPARE(job::textToNumber(row.text), row.value);
    }

    // (value + 0.999) rounded down must fit 32 bits; the rate is then limited to 1..30.
    void wholeFramesAndRate_data() {
        QTest::addColumn<WholeFramesRow>("row");
        const auto row = [](WholeFramesRow r) { QTest::newRow(qPrintable(r.text)) << r; };
        row({.text = "1.5", .frames = 2, .rate = 2});
        row({.text = "45", .frames = 45, .rate = 30});
        row({.text = "0", .frames = 0, .rate = 1});
        row({.text = "-5", .frames = -5, .rate = 1});
        row({.text = "2147483647", .frames = 2147483647, .rate = 30});
        row({.text = "2147483648", .frames = std::nullopt, .rate = 1});
        row({.text = "-9e99", .frames = std::nullopt, .rate = 1});
    }

    void wholeFramesAndRate() {
        QFETCH(WholeFramesRow, row);
        QCOMPARE(job::wholeFramesOf(row.text), row.frames);
        QCOMPARE(job::streamRateOf(row.text).rate, row.rate);
    }

    void halvesRoundAwayFromZero_data() {
        QTest::addColumn<FormatRow>("row");
        const auto row = [](const char* name, FormatRow r) { QTest::newRow(name) << r; };
        row("whole half", {.value = 2.5, .pattern = "0", .text = "3"});
        row("negative half", {.value = -2.5, .pattern = "0", .text = "-3"});
        row("fifth decimal half", {.value = 0.15625, .pattern = "0.####", .text = "0.1563"});
        row("carry into the units", {.value = 9.99996, .pattern = "0.####", .text = "10"});
        row("below the last decimal", {.value = 0.00004, .pattern = "0.####", .text = "0"});
    }

    void halvesRoundAwayFromZero() {
        QFETCH(FormatRow, row);
        QCOMPARE(job::formatNumber(row.value, row.pattern), row.text);
    }

    // Each box's limits, the reciprocal whole or to four decimals, and nothing to divide by
    // (zero, negative, no number): the other box keeps what it held. The duration the fps box
    // sets has no limit. The fps box's upper limit (45 becomes 30) and a duration of 2 are the
    // Make test's, through the window's boxes.
    void leavingABoxCorrectsBoth_data() {
        QTest::addColumn<LeftRow>("row");
        const auto row = [](LeftRow r) {
            QTest::addRow("%s box, %s", r.left == Box::Fps ? "fps" : "duration",
                          qPrintable(r.typed))
                << r;
        };
        row({.left = Box::Fps, .typed = "0.3", .fps = "0.3", .duration = "3"});
        row({.left = Box::Fps, .typed = "7", .fps = "7", .duration = "0.1429"});
        row({.left = Box::Fps, .typed = "4", .fps = "4", .duration = "0.25"});
        row({.left = Box::Fps, .typed = "0.01", .fps = "0.01", .duration = "100"});
        row({.left = Box::Fps, .typed = "0", .fps = "0", .duration = "7"});
        row({.left = Box::Fps, .typed = "-2", .fps = "-2", .duration = "7"});
        row({.left = Box::Duration, .typed = "0.01", .fps = "30", .duration = "0.0333"});
        row({.left = Box::Duration, .typed = "150", .fps = "0.0101", .duration = "99"});
        row({.left = Box::Duration, .typed = "0.04", .fps = "25", .duration = "0.04"});
    }

    void leavingABoxCorrectsBoth() {
        QFETCH(LeftRow, row);
        job::TimingTexts after;
        if (row.left == Box::Fps)
            after = job::framesPerSecondLeft({row.typed, "7"});
        else
            after = job::durationLeft({"7", row.typed});
        QCOMPARE(after.framesPerSecond, row.fps);
        QCOMPARE(after.duration, row.duration);
    }
};

QTEST_GUILESS_MAIN(TimingRulesTest)
#include "tst_timing_rules.moc"
