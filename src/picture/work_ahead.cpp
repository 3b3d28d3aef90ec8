#include "picture/work_ahead.h"

#include <algorithm>

namespace picture {

WorkAhead::WorkAhead(Work work, int workers, std::size_t budgetBytes)
    : work_(std::move(work)), budget_(budgetBytes) {
    for (int i = 0; i < std::max(1, workers); ++i)
        workers_.emplace_back([this] { this->work(); });
}

WorkAhead::~WorkAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : workers_)
        t.join();
}

void WorkAhead::expect(const QStringList& upcoming) {
    {
        std::lock_guard lock(mutex_);
        wanted_.clear();
        for (const QString& path : upcoming)
            if (!path.isEmpty() && !wanted_.contains(path))
                wanted_ << path;
        // Work under way for a file no longer wanted finds its entry gone and throws its
        // result away.
        std::erase_if(entries_, [&](const auto& e) { return !wanted_.contains(e.first); });
        for (const QString& path : std::as_const(wanted_))
            entries_.try_emplace(path);
    }
    changed_.notify_all();
}

WorkAhead::Result WorkAhead::take(const QString& path, Keep keep) {
    std::unique_lock lock(mutex_);
    // One no worker has started yet is done here rather than waited for; one under way is
    // waited for, as doing it here as well would only do the work twice.
    if (const auto queued = entries_.find(path);
        queued != entries_.end() && queued->second.state == State::Queued)
        runQueued(lock, path);
    changed_.wait(lock, [&] {
        const auto e = entries_.find(path);
        return e == entries_.end() || e->second.state == State::Done;
    });
    const auto e = entries_.find(path);
    if (e == entries_.end() || !e->second.result)
        return nullptr;
    Result result = e->second.result;
    const FileStamp stamp = e->second.stamp;
    if (keep == Keep::No) {
        entries_.erase(e);
        wanted_.removeAll(path);
    }
    lock.unlock();
    return StampOf(path) == stamp ? result : nullptr;
}

void WorkAhead::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        QString path;
        changed_.wait(lock, [&] {
            for (const QString& p : std::as_const(wanted_))
                if (entries_.at(p).state == State::Queued) {
                    path = p;
                    return true;
                }
            return stopping_;
        });
        if (stopping_)
            return;
        runQueued(lock, path);
    }
}

void WorkAhead::runQueued(std::unique_lock<std::mutex>& lock, const QString& path) {
    const std::uint64_t ticket = ++tickets_;
    entries_.at(path) = {State::Working, ticket, 0, nullptr, {}};
    lock.unlock();

    // The stamp on both sides of the work: a file changed meanwhile is not trusted.
    const std::optional<FileStamp> before = StampOf(path);
    Result result;
    if (reserve(path, ticket, work_.expectedBytes(path))) {
        try {
            result = work_.make(path);
        } catch (...) {
            // Left to the caller.
        }
    }
    const std::optional<FileStamp> after = StampOf(path);

    lock.lock();
    const auto e = entries_.find(path);
    if (e != entries_.end() && e->second.ticket == ticket) {
        e->second.state = State::Done;
        if (result && before && before == after)
            e->second.result = std::move(result), e->second.stamp = *before;
        else
            e->second.bytes = 0;
    }
    changed_.notify_all();
}

bool WorkAhead::reserve(const QString& path, std::uint64_t ticket, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    const auto e = entries_.find(path);
    if (bytes == 0 || e == entries_.end() || e->second.ticket != ticket)
        return false;
    std::size_t held = 0;
    for (const auto& [p, other] : entries_)
        held += other.bytes;
    if (held + bytes > budget_)
        return false;
    e->second.bytes = bytes;
    return true;
}

} // namespace picture
