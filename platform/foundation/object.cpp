#include "platform/foundation/object.h"

namespace foundation::detail {

namespace {
thread_local std::shared_ptr<void> pending_block;
}

std::shared_ptr<void> take_pending_block() noexcept { return std::exchange(pending_block, nullptr); }

void set_pending_block(std::shared_ptr<void> block) noexcept { pending_block = std::move(block); }

}  // namespace foundation::detail
