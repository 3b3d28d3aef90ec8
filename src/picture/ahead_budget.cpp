#include "picture/ahead_budget.h"

namespace picture {

AheadBudget& AheadBudget::process() {
    static AheadBudget budget(processBytes);
    return budget;
}

AheadBudget::Share AheadBudget::take(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    if (bytes > limit_ - held_)
        return nullptr;
    held_ += bytes;
    // The share owns nothing but its bytes: its deleter gives them back.
    return Share(this, [bytes](void* budget) {
        auto* self = static_cast<AheadBudget*>(budget);
        std::lock_guard lock(self->mutex_);
        self->held_ -= bytes;
    });
}

std::size_t AheadBudget::held() const {
    std::lock_guard lock(mutex_);
    return held_;
}

} // namespace picture
