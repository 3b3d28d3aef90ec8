#pragma once

#include <cstddef>
#include <memory>
#include <mutex>

namespace picture {

// The memory pictures made ahead may hold in the whole process: the filmstrip's thumbnails,
// the window's job's conversions and picreel-make's frames together. Each piece of work sets
// aside what its picture's header says the result will hold before it starts, and gives it
// back when its result is handed over or let go; work that finds no room is left to the
// caller, who does it when its turn comes. 256 MB is forty 1080p frames, or one of a
// 24-megapixel camera's pictures converted for the window's job (its picture and its Bitmap,
// 7 bytes a pixel) with room beside it; how far ahead each user works is its own to say, and
// with it the memory it takes for pictures of ordinary sizes.
class AheadBudget {
public:
    static constexpr std::size_t processBytes = 256 * 1024 * 1024;
    static AheadBudget& process();

    explicit AheadBudget(std::size_t limit);
    AheadBudget(const AheadBudget&) = delete;
    AheadBudget& operator=(const AheadBudget&) = delete;

    // `bytes` set aside until the share is let go; nothing when they do not fit.
    using Share = std::shared_ptr<void>;
    Share take(std::size_t bytes);
    std::size_t held() const;

private:
    // Shared with the shares, which may be let go on a worker after the budget has gone.
    struct State {
        explicit State(std::size_t bytes) : limit(bytes) {}
        std::size_t limit;
        std::mutex mutex;
        std::size_t held = 0;
    };
    const std::shared_ptr<State> state_;
};

} // namespace picture
