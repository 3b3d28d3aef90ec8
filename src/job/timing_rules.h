#pragma once

#include "job/stream_rate.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace job {

// The two timing boxes: frames per second and seconds per picture. Their texts are the only
// store of the two values; everything here reads or writes texts.

// The value of the number at the start of `text`: blanks skipped, an optional sign, digits
// with "." as the decimal point, an optional exponent; the rest is ignored. 0 when the text
// does not start with a number; a value beyond the double range is an infinity.
double textToNumber(const QString& text);

// `value` written with the pattern "0" (a whole number) or "0.####" (at most four decimals,
// trailing zeros and a trailing point dropped); halves round away from zero.
QString formatNumber(double value, const QString& pattern);

struct TimingTexts {
    QString framesPerSecond;
    QString duration;
};

// What leaving each box does to the two texts: the box's own value is brought into range
// and the other box becomes its reciprocal (unchanged when there is no sensible one).
TimingTexts framesPerSecondLeft(TimingTexts texts);
TimingTexts durationLeft(TimingTexts texts);

// A timing text plus 0.999, rounded down; nothing when that does not fit 32 bits.
std::optional<std::int32_t> wholeFramesOf(const QString& text);
// The window's stream rate for a frames-per-second text: a whole rate of 1..30 over 1.
StreamRate streamRateOf(const QString& framesPerSecondText);

} // namespace job
