#include "platform/qt/termination_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

int pipeEnds[2] = {-1, -1};

extern "C" void onTermination(int) {
    const char one = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &one, 1);
}

void handle(void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return; // the signals keep their usual effect
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char drained[16];
        [[maybe_unused]] const ssize_t read = ::read(pipeEnds[1], drained, sizeof drained);
        emit requested();
    });
    handle(onTermination);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    handle(SIG_DFL);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

} // namespace platform
