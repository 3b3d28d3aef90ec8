#include "make/avi_failure_reason.h"

#include <QLoggingCategory>
#include <QMutex>

namespace make {

namespace {

// The AVI layer tells why a call failed on the logging category "picreel.avi"; the last
// message is kept here. This is the one place to read that reason from.
QMutex mutex;
QString lastReason;
QtMessageHandler previous = nullptr;

void keep(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (context.category && qstrcmp(context.category, "picreel.avi") == 0) {
        QMutexLocker lock(&mutex);
        lastReason = message;
        return;
    }
    if (previous)
        previous(type, context, message);
}

} // namespace

void KeepAviFailureReasons() {
    QLoggingCategory::setFilterRules(QStringLiteral("picreel.avi.debug=true"));
    previous = qInstallMessageHandler(keep);
}

QString AviFailureReason() {
    QMutexLocker lock(&mutex);
    return lastReason;
}

} // namespace make
