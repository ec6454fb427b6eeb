// Every test of a unit-test program starts with a fresh run state: the
// program names the module states it needs (FRESH holds them, bound), and
// a listener makes a new FRESH before each test and drops it after, so no
// test sees what another left behind, in whatever order they run.
#ifndef VORN_TESTS_UNIT_FRESH_STATE_H
#define VORN_TESTS_UNIT_FRESH_STATE_H

#include <gtest/gtest.h>

#include <optional>

namespace vorn::testing {

template <class Fresh>
class FreshStateForEachTest : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { fresh_.emplace(); }
  void OnTestEnd(const ::testing::TestInfo&) override { fresh_.reset(); }

 private:
  std::optional<Fresh> fresh_;
};

// Registers the listener while the program starts, before any test runs.
template <class Fresh>
bool make_fresh_state_for_each_test() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateForEachTest<Fresh>);
  return true;
}

}  // namespace vorn::testing

#endif  // VORN_TESTS_UNIT_FRESH_STATE_H
