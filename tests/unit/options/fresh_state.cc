// Each test of this program runs with a fresh state of the modules it uses.
#include "tests/unit/fresh_state.h"

#include "diagnostics/run_diagnostics.h"
#include "options/run_options.h"

namespace vorn::testing {
namespace {

struct Fresh {
  BoundState<RunDiagnostics> diagnostics;
  BoundState<RunOptions> options;
};

const bool registered = make_fresh_state_for_each_test<Fresh>();

}  // namespace
}  // namespace vorn::testing
