#pragma once

#include "collate/Collation.h"

namespace tallyra {

// The collations by their plain rule, pair by pair, as they are defined: slow and obviously
// right, the reference the tests and benchmarks hold the program's collations to.
Outcome CollatePlainly(CollationKind kind, const CollationInput& input);

}  // namespace tallyra
