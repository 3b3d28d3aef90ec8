#include "job/timing_rules.h"

#include <QTest>
#include <cmath>
#include <limits>

class TimingRulesTest : public QObject {
    Q_OBJECT

private slots:
    void textToNumber_data();
    void textToNumber();
    void wholeFramesAndRate_data();
    void wholeFramesAndRate();
    void halvesRoundAwayFromZero_data();
    void halvesRoundAwayFromZero();
};

void TimingRulesTest::textToNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("blanks, then trailing text") << "  12abc" << 12.0;
    QTest::newRow("sign and exponent") << "-3.5e1x" << -35.0;
    QTest::newRow("plus and bare point") << "+.5" << 0.5;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("point alone") << ".e5" << 0.0;
    QTest::newRow("blank after sign") << "- 5" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("beyond double") << "9e9999" << inf;
    QTest::newRow("below double") << "1e-999" << 0.0;
}

void TimingRulesTest::textToNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(job::textToNumber(text), value);
}

// (value + 0.999) rounded down must fit 32 bits; the rate is then limited to 1..30.
void TimingRulesTest::wholeFramesAndRate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("frames"); // -1: does not fit
    QTest::addColumn<uint>("rate");
    QTest::newRow("0.1") << "0.1" << 1 << 1u;
    QTest::newRow("1.5") << "1.5" << 2 << 2u;
    QTest::newRow("45") << "45" << 45 << 30u;
    QTest::newRow("0") << "0" << 0 << 1u;
    QTest::newRow("-5") << "-5" << -5 << 1u;
    QTest::newRow("2147483647") << "2147483647" << 2147483647 << 30u;
    QTest::newRow("2147483648") << "2147483648" << -1 << 1u;
    QTest::newRow("-9e99") << "-9e99" << -1 << 1u;
}

void TimingRulesTest::wholeFramesAndRate() {
    QFETCH(QString, text);
    QFETCH(int, frames);
    QFETCH(uint, rate);
    QCOMPARE(job::wholeFramesOf(text).value_or(-1), frames);
    QCOMPARE(job::streamRateOf(text).rate, rate);
}

void TimingRulesTest::halvesRoundAwayFromZero_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole half") << 2.5 << "0"
                                << "3";
    QTest::newRow("negative half") << -2.5 << "0"
                                   << "-3";
    QTest::newRow("fifth decimal half") << 0.15625 << "0.####"
                                        << "0.1563";
    QTest::newRow("carry into the units") << 9.99996 << "0.####"
                                          << "10";
    QTest::newRow("below the last decimal") << 0.00004 << "0.####"
                                            << "0";
}

void TimingRulesTest::halvesRoundAwayFromZero() {
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QCOMPARE(job::formatNumber(value, pattern), text);
}

QTEST_GUILESS_MAIN(TimingRulesTest)
#include "tst_timing_rules.moc"
