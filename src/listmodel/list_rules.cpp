#include "listmodel/list_rules.h"

#include <QSet>

#include <algorithm>

namespace listmodel {

int insertPosition(int selected) {
    return selected < 0 ? 0 : selected;
}

int selectionAfterRemove(int removed, int countAfter) {
    return removed < countAfter ? removed : countAfter - 1;
}

int fileRowAfterAdd(int selected, int rows) {
    return selected >= 0 && selected < rows - 1 ? selected + 1 : -1;
}

int shiftUpTarget(int selected) {
    return selected >= 1 ? selected - 1 : -1;
}

int shiftDownTarget(int selected, int count) {
    return selected >= 0 && selected < count - 1 ? selected + 1 : -1;
}

QList<int> laterCopies(const QStringList& entries) {
    // QString's hash and equality are exact: no folding of case or normalisation.
    QSet<QString> seen;
    QList<int> copies;
    for (int i = 0; i < entries.size(); ++i)
        if (!seen.contains(entries[i]))
            seen.insert(entries[i]);
        else
            copies.append(i);
    std::reverse(copies.begin(), copies.end());
    return copies;
}

} // namespace listmodel
