#pragma once

#include <type_traits>
#include <utility>

namespace parvel {

// Runs an undo step when the scope ends, however it ends: a state set for
// the length of a call (a busy cursor, a disabled button) is set back even
// when the call throws. The undo step must not throw.
template <typename Undo>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(Undo undo) noexcept(std::is_nothrow_move_constructible_v<Undo>)
      : undo_(std::move(undo)) {}
  ~ScopeExit() { undo_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Undo undo_;
};

}  // namespace parvel
