#include "avi/avi_status.h"

#include <cstdarg>

extern "C" {
#include <libavutil/log.h>
}

namespace avi {

Q_LOGGING_CATEGORY(lcAvi, "picreel.avi", QtWarningMsg)

namespace {

// libav's messages go to our log: its errors as warnings, its warnings as information,
// the rest as debug output.
void logFromLibav(void* context, int level, const char* format, va_list args) {
    const QtMsgType type = level <= AV_LOG_ERROR     ? QtWarningMsg
                           : level <= AV_LOG_WARNING ? QtInfoMsg
                                                     : QtDebugMsg;
    if (level > av_log_get_level() || !lcAvi().isEnabled(type))
        return;
    static int printPrefix = 1; // libav's lines may come in pieces
    char line[1024];
    av_log_format_line2(context, level, format, args, line, sizeof line, &printPrefix);
    const QString text = QString::fromUtf8(line).trimmed();
    if (text.isEmpty())
        return;
    if (type == QtWarningMsg)
        qCWarning(lcAvi).noquote() << text;
    else if (type == QtInfoMsg)
        qCInfo(lcAvi).noquote() << text;
    else
        qCDebug(lcAvi).noquote() << text;
}

} // namespace

void routeLibavLog() {
    av_log_set_callback(&logFromLibav);
}

} // namespace avi
