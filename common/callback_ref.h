// A callable passed down a call and used only during it: a pointer to the
// caller's callable and one function that calls it. Unlike std::function it
// neither copies nor allocates, and each kind of callable costs one small
// function instead of a manager and an invoker, which counts in the programs
// that travel inside every package. It must not outlive the callable it was
// made from, so it is for parameters only, never for what is kept.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace quill {

template <typename Signature>
class CallbackRef;

template <typename Result, typename... Args>
class CallbackRef<Result(Args...)> {
 public:
  // No callable: false when tested.
  CallbackRef(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)

  template <typename Callable,
            typename = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, CallbackRef>>>
  CallbackRef(Callable&& callable)  // NOLINT(google-explicit-constructor)
      : target_(const_cast<void*>(static_cast<const void*>(&callable))),
        call_(&call<std::remove_reference_t<Callable>>) {}

  explicit operator bool() const { return call_ != nullptr; }

  Result operator()(Args... args) const { return call_(target_, std::forward<Args>(args)...); }

 private:
  template <typename Callable>
  static Result call(void* target, Args... args) {
    return (*static_cast<Callable*>(target))(std::forward<Args>(args)...);
  }

  void* target_ = nullptr;
  Result (*call_)(void*, Args...) = nullptr;
};

}  // namespace quill
