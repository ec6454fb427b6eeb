// Where -fcompare-debug stands.  While the command line is read an option
// requests or refuses it, and the environment may request it when no
// option said anything; once the command line is read the mode is off or
// names the compilation that runs: the first, or the second one with its
// own switches.
#ifndef VORN_SPECS_COMPARE_DEBUG_MODE_H
#define VORN_SPECS_COMPARE_DEBUG_MODE_H

namespace vorn {

enum class CompareDebug {
  kNotRequested,
  kRefused,             // -fno-compare-debug, or -fcompare-debug= empty
  kEnvironmentOptions,  // VORN_COMPARE_DEBUG named the compare option
  kEnvironmentToggle,   // VORN_COMPARE_DEBUG asked for -gtoggle
  kFirstCompilation,
  kSecondCompilation,
};

class CompareDebugMode {
 public:
  // Implicit, so that a state can be assigned as it is.
  CompareDebugMode(CompareDebug state = CompareDebug::kNotRequested)  // NOLINT
      : state_(state) {}

  CompareDebug state() const { return state_; }
  bool operator==(CompareDebug state) const { return state_ == state; }

  // Whether the compile loop makes a second compilation and compares.
  bool active() const { return state_ != CompareDebug::kNotRequested; }
  bool from_environment() const {
    return state_ == CompareDebug::kEnvironmentOptions ||
           state_ == CompareDebug::kEnvironmentToggle;
  }
  // A refusal that a self spec makes once the command line is read is
  // never forgotten, and reads as the second compilation from then on.
  bool second_compilation() const {
    return state_ == CompareDebug::kSecondCompilation || state_ == CompareDebug::kRefused;
  }

  void request() { state_ = CompareDebug::kFirstCompilation; }
  void refuse() { state_ = CompareDebug::kRefused; }
  void request_from_environment(bool names_option) {
    state_ = names_option ? CompareDebug::kEnvironmentOptions : CompareDebug::kEnvironmentToggle;
  }
  // Once the environment is read, a refusal has done its work.
  void forget_refusal() {
    if (state_ == CompareDebug::kRefused) state_ = CompareDebug::kNotRequested;
  }
  // The environment's request, recorded as a switch, is the first
  // compilation's like any other.
  void accept_environment_request() {
    if (from_environment()) state_ = CompareDebug::kFirstCompilation;
  }
  // From the first compilation to the second, and from the second (or a
  // late refusal) back to the first.
  void switch_compilation() {
    if (state_ == CompareDebug::kFirstCompilation) {
      state_ = CompareDebug::kSecondCompilation;
    } else if (second_compilation()) {
      state_ = CompareDebug::kFirstCompilation;
    }
  }

 private:
  CompareDebug state_;
};

}  // namespace vorn

#endif  // VORN_SPECS_COMPARE_DEBUG_MODE_H
