// Each test of this program runs with a fresh state of the modules it uses.
#include "tests/unit/fresh_state.h"

#include "diagnostics/run_diagnostics.h"

namespace vorn::testing {
namespace {

struct Fresh {
  BoundState<RunDiagnostics> diagnostics;
};

const bool registered = make_fresh_state_for_each_test<Fresh>();

}  // namespace
}  // namespace vorn::testing
