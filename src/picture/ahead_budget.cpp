#include "picture/ahead_budget.h"

namespace picture {

AheadBudget& AheadBudget::process() {
    static AheadBudget budget(processBytes);
    return budget;
}

AheadBudget::AheadBudget(std::size_t limit) : state_(std::make_shared<State>(limit)) {}

AheadBudget::Share AheadBudget::take(std::size_t bytes) {
    std::lock_guard lock(state_->mutex);
    if (bytes > state_->limit - state_->held)
        return nullptr;
    state_->held += bytes;
    // The share owns nothing but its bytes: its deleter gives them back.
    return Share(state_.get(), [state = state_, bytes](void*) {
        std::lock_guard lock(state->mutex);
        state->held -= bytes;
    });
}

std::size_t AheadBudget::held() const {
    std::lock_guard lock(state_->mutex);
    return state_->held;
}

} // namespace picture
