#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace job {

// The position of the first listed picture that is the output file itself, by device and
// inode, so that another spelling of its path or a link to it counts too; nothing when the
// output does not exist yet or is none of them. Writing the video there would destroy a
// picture the video still has to read.
std::optional<int> listedPictureAt(const QString& output, const QStringList& pictures);

} // namespace job
