#include "make/interrupt.h"

#include "job/staged_output.h"
#include "make/exit_status.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace make {

namespace {

std::atomic<bool> interruptSeen{false};
std::atomic<int> ctrlCs{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

void tell(const char* text) {
    // A closed standard error is no reason to stop.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
}

extern "C" void onInterrupt(int signal) {
    interruptSeen.store(true);
    if (signal != SIGINT)
        return;
    const int count = ++ctrlCs;
    if (count == 2) {
        tell("picreel-make: finishing the video with the frames written; Ctrl+C once more gives "
             "up and leaves the output as it was\n");
    } else if (count >= 3) {
        ::unlink(job::StagedOutput::unfinishedNow());
        tell("picreel-make: gave up; the output is as it was\n");
        ::_exit(ExitGaveUp);
    }
}

} // namespace

void catchInterrupts() {
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // Standard error piped into a program that has stopped reading (`| head -1`) must not end
    // the run: the failed write is passed over instead.
    std::signal(SIGPIPE, SIG_IGN);
}

bool interrupted() {
    return interruptSeen.load();
}

} // namespace make
