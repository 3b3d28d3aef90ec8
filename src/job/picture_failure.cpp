#include "job/picture_failure.h"

#include "platform/message_box.h"

namespace job {

void reportPictureFailure(const QString& path, const std::exception& error) {
    platform::MsgBox(QStringLiteral("This picture file (") + path +
                         QStringLiteral(") could not be converted.\r\n") +
                         QString::fromLocal8Bit(error.what()),
                     platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                     QStringLiteral("Error - Make AVI File"));
}

} // namespace job
