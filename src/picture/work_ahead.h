#pragma once

#include "picture/file_stamp.h"

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace picture {

// Work on picture files done on worker threads before the caller asks for it, in the order
// the caller says it will. What it hands out is what doing the work at that moment would
// give: a result stands only while its file's stamp is the one it was made from, and work
// that failed is left to the caller, whose own attempt then fails at its own step in its own
// words.
class WorkAhead {
public:
    using Result = std::shared_ptr<void>;
    struct Work {
        // What the result of a file will hold in memory; 0 when that cannot be told, and the
        // file is left to the caller.
        std::function<std::size_t(const QString&)> expectedBytes;
        // The work itself; whatever it throws leaves the file to the caller.
        std::function<Result(const QString&)> make;
    };
    // At most `budgetBytes` of results are held or in the making at once.
    WorkAhead(Work work, int workers, std::size_t budgetBytes);
    ~WorkAhead();
    WorkAhead(const WorkAhead&) = delete;
    WorkAhead& operator=(const WorkAhead&) = delete;

    // The files the caller asks for next, in order; results for any others are let go.
    void expect(const QStringList& upcoming);
    // path's result when one stands (waiting for one expected but not done yet), or nothing:
    // the caller does the work itself. With `Keep::No` the result is no longer held here, so
    // the caller has it to itself and may take it apart.
    enum class Keep { Yes, No };
    Result take(const QString& path, Keep keep = Keep::Yes);

private:
    enum class State { Queued, Working, Done };
    struct Entry {
        State state = State::Queued;
        std::uint64_t ticket = 0;
        std::size_t bytes = 0; // set aside from the budget
        Result result;         // none when not done ahead
        FileStamp stamp;
    };
    void work();
    // Does the work for `path`, whose entry is queued, on this thread; `lock` is held before
    // and after.
    void runQueued(std::unique_lock<std::mutex>& lock, const QString& path);
    bool reserve(const QString& path, std::uint64_t ticket, std::size_t bytes);

    const Work work_;
    const std::size_t budget_;
    std::mutex mutex_;
    std::condition_variable changed_;
    QStringList wanted_;
    std::map<QString, Entry> entries_;
    std::uint64_t tickets_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace picture
