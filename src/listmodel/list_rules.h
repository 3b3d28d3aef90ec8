#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The rules of the picture-list edits, apart from the widgets that show the list: where an
// entry goes, which entry is selected afterwards, what counts as a duplicate. Indices count
// from 0; -1 means "none".
namespace listmodel {

// Insert puts the previewed picture at the selected entry, or first when none is selected.
int insertPosition(int selected);

// After entry `removed` is taken out, leaving `countAfter` entries: the entry that moved into
// its place, or the new last one when it was the last (-1 when the list is now empty).
int selectionAfterRemove(int removed, int countAfter);

// The file-list row Add moves on to after adding row `selected` of `rows`: the next one,
// or none after the last, so that repeated Adds walk the folder once.
int fileRowAfterAdd(int selected, int rows);

// Where the selected entry goes when shifted; -1 when it cannot move that way.
int shiftUpTarget(int selected);
int shiftDownTarget(int selected, int count);

// The later copies of any entry, highest index first, so that removing them in this order
// never moves an index still to be removed. The first occurrence of each entry survives.
// Entries are copies only when they are the same text, letter case included: two spellings
// of one path stay two entries.
QList<int> laterCopies(const QStringList& entries);

} // namespace listmodel
