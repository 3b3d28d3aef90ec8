#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace make {

// File names are bytes on Linux, and a name that is not UTF-8 cannot pass through Qt's text
// unchanged: it would become another name. Such names are found here and refused by name.

// Whether `name` survives the trip into text and back unchanged.
bool carriesAsText(const QByteArray& name);

// A name as the user can read it whatever its bytes: the bytes that are not UTF-8 as \xNN.
QString shownName(const QByteArray& name);

// The first of the program's arguments (argv[1] on) that cannot be carried, if any.
std::optional<QByteArray> firstUncarriedArgument(int argc, char* argv[]);

// What picreel-make says of such a name.
QString notCarriedReason(const QByteArray& name);

// The first picture file of `folder` (as the folder listing would take it) whose name cannot
// be carried, with the folder's path in front; nothing when every one can.
std::optional<QByteArray> firstUncarriedPicture(const QString& folder);

} // namespace make
