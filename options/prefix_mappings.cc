#include "options/prefix_mappings.h"

namespace vorn {

// Tried in this order; the first whose rewritten text names a row wins.
const PrefixMapping kPrefixMappings[kPrefixMappingCount] = {
    {"-Wno-", nullptr, "-W", false, true},
    {"-fno-", nullptr, "-f", false, true},
    {"-gno-", nullptr, "-g", false, true},
    {"-mno-", nullptr, "-m", false, true},
    {"--debug=", nullptr, "-g", false, false},
    {"--machine-", nullptr, "-m", true, false},
    {"--machine-no-", nullptr, "-m", false, true},
    {"--machine=", nullptr, "-m", false, false},
    {"--machine=no-", nullptr, "-m", false, true},
    {"--machine", "", "-m", false, false},
    {"--machine", "no-", "-m", false, true},
    {"--optimize=", nullptr, "-O", false, false},
    {"--std=", nullptr, "-std=", false, false},
    {"--std", "", "-std=", false, false},
    {"--warn-", nullptr, "-W", true, false},
    {"--warn-no-", nullptr, "-W", false, true},
    {"--", nullptr, "-f", true, false},
    {"--no-", nullptr, "-f", false, true},
};

}  // namespace vorn
