#pragma once

#include "picture/ahead_budget.h"
#include "picture/file_stamp.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace picture {

// ThreadSanitizer does not see Qt's locks (Qt is not built with it), so the two hand-overs
// between the owner and a worker, through the pool's queue and through a finished future,
// are told to it here.
inline void HandedOver([[maybe_unused]] const void* at) {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void*>(at));
#endif
}
inline void TakenOver([[maybe_unused]] const void* at) {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void*>(at));
#endif
}

// The process's one pool of worker threads for work ahead, a thread for each core. Not QtCore's
// global pool: QtGui splits its image conversions over that one, and the window's thread,
// painting, waits for the pieces, which would then wait behind a picture being decoded.
QThreadPool& AheadPool();

// Work on picture files done on the process's worker threads before the caller asks for it,
// in the order the caller says it will. What it hands out is what doing the work at that
// moment would give: a result stands only while its file's stamp is the one it was made
// from, and work that failed is left to the caller, whose own attempt then fails at its own
// step in its own words. Used from one thread, its owner's.
template <typename T> class WorkAhead {
public:
    struct Work {
        // What the result of a file will hold in memory, set aside from `budget`; 0 when that
        // cannot be told, and the file is left to the caller.
        std::function<std::size_t(const QString&)> expectedBytes;
        // The work itself; whatever it throws leaves the file to the caller.
        std::function<T(const QString&)> make;
    };
    explicit WorkAhead(Work work, AheadBudget& budget = AheadBudget::process())
        : work_(std::make_shared<const Work>(std::move(work))), budget_(budget) {}
    // Work not started is dropped; work under way is waited for, as it uses `work`.
    ~WorkAhead() {
        for (auto& [path, task] : tasks_)
            task->drop();
        for (const std::shared_ptr<Task>& task : leaving_)
            task->drop();
        for (const std::shared_ptr<Task>& task : leaving_)
            endOf(*task);
        for (auto& [path, task] : tasks_)
            endOf(*task);
    }
    WorkAhead(const WorkAhead&) = delete;
    WorkAhead& operator=(const WorkAhead&) = delete;

    // The files the caller asks for next, in order, the first first; work for any others is
    // dropped if no worker has started it, and its result let go.
    void expect(const QStringList& upcoming) {
        std::map<QString, std::shared_ptr<Task>> kept;
        int priority = 0;
        for (const QString& path : upcoming) {
            if (path.isEmpty() || kept.count(path))
                continue;
            auto found = tasks_.find(path);
            if (found != tasks_.end()) {
                kept.insert(tasks_.extract(found));
            } else {
                kept.emplace(path, start(path, priority));
            }
            --priority;
        }
        for (auto& [path, task] : tasks_)
            if (!task->drop())
                leaving_.push_back(task); // under way or done
        // Results let go now, not when the last reference to their work goes (taking a
        // result resets its future, which then never counts as finished again).
        std::erase_if(leaving_, [](const std::shared_ptr<Task>& task) {
            if (!task->future.isFinished())
                return false;
            TakenOver(task.get());
            if (task->future.resultCount() > 0)
                task->future.takeResult();
            return true;
        });
        tasks_ = std::move(kept);
    }

    // path's result when one stands, or nothing: the caller does the work itself. Work no
    // worker has started is done here, on the caller's thread; work under way is waited
    // for, as doing it here as well would only do it twice. With `Keep::No` the result is
    // handed over: nothing here holds it any longer, and a second asking does the work again.
    enum class Keep { Yes, No };
    std::optional<T> take(const QString& path, Keep keep = Keep::Yes) {
        const auto found = tasks_.find(path);
        if (found == tasks_.end())
            return std::nullopt;
        const std::shared_ptr<Task> task = found->second;
        task->run(*work_, budget_);
        endOf(*task);
        if (keep == Keep::No) {
            tasks_.erase(found);
            return standing(path, task->future.takeResult());
        }
        return standing(path, task->future.result());
    }

    // Starts path's work again when it is done and its result was made from the file as it
    // stood before a change; false otherwise.
    bool restartIfStale(const QString& path) {
        const auto found = tasks_.find(path);
        if (found == tasks_.end() || !found->second->future.isFinished())
            return false;
        TakenOver(found->second.get());
        const Outcome outcome = found->second->future.result();
        if (!outcome.result || StampOf(path) == outcome.stamp)
            return false;
        found->second = start(path, 0);
        return true;
    }

    // path's result when its work is done and the result stands; never waits.
    std::optional<T> ready(const QString& path) const {
        const auto found = tasks_.find(path);
        if (found == tasks_.end() || !found->second->future.isFinished())
            return std::nullopt;
        TakenOver(found->second.get());
        return standing(path, found->second->future.result());
    }

    // Calls `done` on `context`'s thread once path's work has ended, whatever came of it,
    // unless the work was dropped or `context` has gone by then. False when path is not
    // expected or its work has ended already.
    bool whenDone(const QString& path, QObject* context, std::function<void()> done) {
        const auto found = tasks_.find(path);
        if (found == tasks_.end() || found->second->future.isFinished())
            return false;
        auto* watcher = new QFutureWatcher<Outcome>(context);
        QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                         [watcher, done = std::move(done)] {
                             watcher->deleteLater();
                             if (!watcher->future().isCanceled())
                                 done();
                         });
        watcher->setFuture(found->second->future);
        return true;
    }

private:
    struct Outcome {
        std::optional<T> result; // none when the work failed or found no room
        FileStamp stamp;         // of the file on both sides of the work
        AheadBudget::Share share;
    };
    struct Task {
        explicit Task(QString p) : path(std::move(p)), future(promise.future()) {}
        // Whoever comes first does the work: a worker, or the owner asking for it.
        void run(const Work& work, AheadBudget& budget) {
            State queued = State::Queued;
            if (!state.compare_exchange_strong(queued, State::Started))
                return;
            promise.start();
            Outcome outcome = make(work, budget);
            promise.addResult(abandoned ? Outcome() : std::move(outcome));
            HandedOver(this);
            promise.finish();
        }
        // True when no one had started the work; it never will be now. Work under way keeps
        // no result.
        bool drop() {
            State queued = State::Queued;
            abandoned = true;
            if (!state.compare_exchange_strong(queued, State::Dropped))
                return state == State::Dropped;
            promise.start();
            promise.future().cancel();
            promise.finish();
            return true;
        }
        Outcome make(const Work& work, AheadBudget& budget) {
            Outcome outcome;
            // The stamp on both sides of the work: a file changed meanwhile is not trusted.
            const std::optional<FileStamp> before = StampOf(path);
            std::size_t bytes = 0;
            try {
                bytes = work.expectedBytes(path);
            } catch (...) {
            }
            if (bytes > 0)
                outcome.share = budget.take(bytes);
            if (outcome.share) {
                try {
                    outcome.result = work.make(path);
                } catch (...) {
                    // Left to the caller.
                }
            }
            const std::optional<FileStamp> after = StampOf(path);
            if (!before || before != after)
                outcome.result.reset();
            if (!outcome.result)
                outcome.share.reset();
            else
                outcome.stamp = *before;
            return outcome;
        }

        enum class State { Queued, Started, Dropped };
        const QString path;
        std::atomic<State> state{State::Queued};
        std::atomic<bool> abandoned = false;
        QPromise<Outcome> promise;
        QFuture<Outcome> future;
    };

    std::shared_ptr<Task> start(const QString& path, int priority) {
        auto task = std::make_shared<Task>(path);
        std::function<void()> run = [task, work = work_, &budget = budget_] {
            TakenOver(&AheadPool());
            task->run(*work, budget);
        };
        // The pool itself marks the hand-over of everything the work holds. Of the work
        // waiting, the highest priority starts first.
        HandedOver(&AheadPool());
        AheadPool().start(std::move(run), priority);
        return task;
    }
    static void endOf(Task& task) {
        task.future.waitForFinished();
        TakenOver(&task);
    }
    static std::optional<T> standing(const QString& path, Outcome outcome) {
        if (!outcome.result || StampOf(path) != outcome.stamp)
            return std::nullopt;
        return std::move(outcome.result);
    }

    const std::shared_ptr<const Work> work_;
    AheadBudget& budget_;
    std::map<QString, std::shared_ptr<Task>> tasks_;
    std::vector<std::shared_ptr<Task>> leaving_; // dropped while under way
};

} // namespace picture
