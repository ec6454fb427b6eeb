// Each test of this program runs with a fresh run: a new owner of every
// module's state.
#include "driver/run.h"
#include "tests/unit/fresh_state.h"

namespace vorn::testing {
namespace {

const bool registered = make_fresh_state_for_each_test<Run>();

}  // namespace
}  // namespace vorn::testing
