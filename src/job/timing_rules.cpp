#include "job/timing_rules.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace job {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The reciprocal as the other box shows it: whole below one frame or second, else four
// decimals. Nothing when it is not a finite number.
std::optional<QString> reciprocalText(double v) {
    const double r = 1.0 / v;
    if (!std::isfinite(r))
        return std::nullopt;
    return formatNumber(r, v <= 1 ? QStringLiteral("0") : QStringLiteral("0.####"));
}

} // namespace

double textToNumber(const QString& text) {
    const QByteArray s = text.toLatin1();
    qsizetype i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    const qsizetype start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const qsizetype digitsFrom = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]);)
            ++i;
    if (i - digitsFrom == 0 || (i - digitsFrom == 1 && s[digitsFrom] == '.'))
        return 0;
    qsizetype end = i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        qsizetype e = i + 1;
        negativeExponent = e < s.size() && s[e] == '-';
        if (e < s.size() && (s[e] == '+' || s[e] == '-'))
            ++e;
        if (e < s.size() && isDigit(s[e])) {
            while (e < s.size() && isDigit(s[e]))
                ++e;
            end = e;
        } else {
            negativeExponent = false;
        }
    }
    // from_chars takes no leading "+".
    const bool negative = s[start] == '-';
    const char* first = s.constData() + start + (s[start] == '+' || negative ? 1 : 0);
    double value = 0;
    if (std::from_chars(first, s.constData() + end, value).ec == std::errc::result_out_of_range)
        value = negativeExponent ? 0 : std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

QString formatNumber(double value, const QString& pattern) {
    const int point = pattern.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(pattern.size()) - point - 1;
    // Fifteen significant digits, as the classic number format sees a double, then rounded
    // at the last kept decimal with halves going away from zero.
    QString digits = QString::number(std::fabs(value), 'f', 15);
    const qsizetype dot = digits.indexOf(QLatin1Char('.'));
    const bool roundUp = digits.at(dot + 1 + decimals) >= QLatin1Char('5');
    digits.truncate(decimals ? dot + 1 + decimals : dot);
    for (qsizetype i = digits.size() - 1; roundUp; --i) {
        if (i < 0) {
            digits.prepend(QLatin1Char('1'));
            break;
        }
        if (digits[i] == QLatin1Char('.'))
            continue;
        const bool carry = digits[i] == QLatin1Char('9');
        digits[i] = carry ? QLatin1Char('0') : QChar(digits[i].unicode() + 1);
        if (!carry)
            break;
    }
    if (decimals) {
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        if (digits.endsWith(QLatin1Char('.')))
            digits.chop(1);
    }
    const bool zero =
        digits.count(QLatin1Char('0')) + digits.count(QLatin1Char('.')) == digits.size();
    return value < 0 && !zero ? QLatin1Char('-') + digits : digits;
}

TimingTexts framesPerSecondLeft(TimingTexts texts) {
    if (textToNumber(texts.framesPerSecond) > 30)
        texts.framesPerSecond = QStringLiteral("30");
    const double v = textToNumber(texts.framesPerSecond);
    if (v > 0)
        texts.duration = reciprocalText(v).value_or(texts.duration);
    return texts;
}

TimingTexts durationLeft(TimingTexts texts) {
    if (textToNumber(texts.duration) < 0.0333)
        texts.duration = QStringLiteral("0.0333");
    if (textToNumber(texts.duration) > 99)
        texts.duration = QStringLiteral("99");
    const double v = textToNumber(texts.duration);
    if (v > 0)
        texts.framesPerSecond = reciprocalText(v).value_or(texts.framesPerSecond);
    return texts;
}

std::optional<std::int32_t> wholeFramesOf(const QString& text) {
    const double whole = std::floor(textToNumber(text) + 0.999);
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(whole);
}

StreamRate streamRateOf(const QString& framesPerSecondText) {
    // A value that does not fit leaves the rate at 0, which the limit makes 1.
    const std::int32_t rate = wholeFramesOf(framesPerSecondText).value_or(0);
    return {static_cast<std::uint32_t>(rate < 1 ? 1 : rate > 30 ? 30 : rate), 1};
}

} // namespace job
