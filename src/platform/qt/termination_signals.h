#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// SIGTERM and SIGHUP (the session ending, a `kill`) turned into a Qt signal, raised from the
// event loop: a handler may only write to a pipe, so the window hears of them safely. While
// one of these lives the two signals no longer end the program at once.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void requested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace platform
