#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace make {

// picreel-make refuses, by name, every name that cannot be carried as text.

// The first of the program's arguments (argv[1] on) that cannot be carried, if any.
std::optional<QByteArray> firstUncarriedArgument(int argc, char* argv[]);

// What picreel-make says of such a name.
QString notCarriedReason(const QByteArray& name);

// The first picture file of `folder` (as the folder listing would take it) whose name cannot
// be carried, with the folder's path in front; nothing when every one can.
std::optional<QByteArray> firstUncarriedPicture(const QString& folder);

} // namespace make
