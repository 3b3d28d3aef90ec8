#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The two timing boxes: frames per second and seconds per picture. Their texts are the only
// store of the two values; everything here reads or writes texts.

// The value of the number at the start of `text`: blanks skipped, an optional sign, digits
// with "." as the decimal point, an optional exponent; the rest is ignored. 0 when the text
// does not start with a number; a value beyond the double range is an infinity.
double TextToNumber(const QString& text);

// `value` written with the pattern "0" (a whole number) or "0.####" (at most four decimals,
// trailing zeros and a trailing point dropped); halves round away from zero.
QString FormatNumber(double value, const QString& pattern);

struct TimingTexts {
    QString framesPerSecond;
    QString duration;
};

// What leaving each box does to the two texts: the box's own value is brought into range
// and the other box becomes its reciprocal (unchanged when there is no sensible one).
TimingTexts FramesPerSecondLeft(TimingTexts texts);
TimingTexts DurationLeft(TimingTexts texts);

// A timing text plus 0.999, rounded down; nothing when that does not fit 32 bits.
std::optional<std::int32_t> WholeFramesOf(const QString& text);
// The stream rate of a frames-per-second text, limited to 1..30 frames per second.
std::uint32_t StreamRate(const QString& framesPerSecondText);
