// How a module reaches its part of the current run's state.  The run's
// owner (driver/run.h; a unit test makes its own) holds one state object
// per module and binds each while it lives; the module's code reads it
// through `CurrentState<State>::get()`, usually wrapped in one accessor in
// the module's state header.  Binding nests: a second owner made while the
// first lives (a test making a fresh run) takes over until it ends.
//
// The pointer is the only process-wide word a module keeps for its run
// state; it is zero until an owner binds it, so it costs the loader
// nothing.
#ifndef VORN_SUPPORT_CURRENT_STATE_H
#define VORN_SUPPORT_CURRENT_STATE_H

namespace vorn {

template <class State>
class CurrentState {
 public:
  explicit CurrentState(State& state) : previous_(current_) { current_ = &state; }
  ~CurrentState() { current_ = previous_; }
  CurrentState(const CurrentState&) = delete;
  CurrentState& operator=(const CurrentState&) = delete;

  static State& get() { return *current_; }
  static bool bound() { return current_ != nullptr; }

 private:
  static inline constinit State* current_ = nullptr;
  State* previous_;
};

// A module's state together with its binding: what a unit test makes to
// run with a fresh state of one module.
template <class State>
struct BoundState {
  State state;
  CurrentState<State> binding{state};
};

}  // namespace vorn

#endif  // VORN_SUPPORT_CURRENT_STATE_H
