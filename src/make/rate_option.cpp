#include "make/rate_option.h"

#include <QRegularExpression>
#include <numeric>

namespace make {

std::optional<job::StreamRate> parseStreamRate(const QString& text) {
    static const QRegularExpression decimal(QStringLiteral("^(\\d{1,10})(?:\\.(\\d{1,9}))?$"));
    static const QRegularExpression fraction(QStringLiteral("^(\\d{1,10})/(\\d{1,10})$"));
    std::uint64_t rate = 0, scale = 1;
    if (const auto m = fraction.match(text.trimmed()); m.hasMatch()) {
        rate = m.captured(1).toULongLong();
        scale = m.captured(2).toULongLong();
    } else if (const auto d = decimal.match(text.trimmed()); d.hasMatch()) {
        const QString decimals = d.captured(2);
        rate = (d.captured(1) + decimals).toULongLong();
        for (qsizetype i = 0; i < decimals.size(); ++i)
            scale *= 10;
    } else {
        return std::nullopt;
    }
    if (rate == 0 || scale == 0 || double(rate) / double(scale) > maxFramesPerSecond)
        return std::nullopt;
    const std::uint64_t common = std::gcd(rate, scale);
    rate /= common;
    scale /= common;
    if (rate > UINT32_MAX || scale > UINT32_MAX)
        return std::nullopt;
    return job::StreamRate{std::uint32_t(rate), std::uint32_t(scale)};
}

} // namespace make
