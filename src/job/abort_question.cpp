#include "job/abort_question.h"

#include "job/job_host.h"
#include "platform/message_box.h"

namespace job {

bool askWhetherToAbort(JobHost& host) {
    if (!host.abortRequested())
        return false;
    if (host.endingProgram())
        return true;
    const platform::MsgAnswer answer =
        platform::MsgBox(QStringLiteral("Do you want to abort?"), platform::MsgButtons::YesNo,
                         platform::MsgIcon::Exclamation, QStringLiteral("Make AVI File - Running"));
    if (answer == platform::MsgAnswer::Yes)
        return true;
    host.setAbortRequested(false);
    return false;
}

} // namespace job
