#include "paths/natural_order.h"

namespace paths {

namespace {

// Compares the digit runs starting at a[i] and b[j] by value; advances both indexes.
int compareNumbers(const QString& a, qsizetype& i, const QString& b, qsizetype& j) {
    while (i < a.size() && a[i] == u'0' && i + 1 < a.size() && a[i + 1].isDigit())
        ++i;
    while (j < b.size() && b[j] == u'0' && j + 1 < b.size() && b[j + 1].isDigit())
        ++j;
    qsizetype endA = i, endB = j;
    while (endA < a.size() && a[endA].isDigit())
        ++endA;
    while (endB < b.size() && b[endB].isDigit())
        ++endB;
    int result = 0;
    if (endA - i != endB - j) {
        result = endA - i < endB - j ? -1 : 1;
    } else {
        for (qsizetype k = 0; k < endA - i && result == 0; ++k)
            result = a[i + k].digitValue() - b[j + k].digitValue();
    }
    i = endA;
    j = endB;
    return result;
}

} // namespace

bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const int byValue = compareNumbers(a, i, b, j);
            if (byValue != 0)
                return byValue < 0;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size();
    return a < b;
}

} // namespace paths
