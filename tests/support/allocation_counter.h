#pragma once

// Counts the allocations made through operator new, for tests that prove a
// loop allocates nothing. A test binary that calls these functions links in
// replacements of operator new and delete; other binaries keep the standard
// ones. Under the sanitizers, whose own allocator must stay in charge,
// nothing is counted.

namespace test_support {

// Whether this build counts allocations at all.
bool allocations_counted();

// The number of allocations through operator new so far in this process.
long allocations();

}  // namespace test_support
