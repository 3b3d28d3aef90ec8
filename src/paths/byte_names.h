#pragma once

#include <QByteArray>
#include <QString>

namespace paths {

// File names are bytes on Linux, and a name that is not UTF-8 cannot pass through Qt's text
// unchanged: it would become another name. Such names are found with these and refused by
// name, never dropped in silence.

// Whether `name` survives the trip into text and back unchanged.
bool carriesAsText(const QByteArray& name);

// A name as the user can read it whatever its bytes: the bytes that are not UTF-8 as \xNN.
QString shownName(const QByteArray& name);

} // namespace paths
