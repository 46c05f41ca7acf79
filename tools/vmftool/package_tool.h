#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vmftool {

enum ExitCode : int { kDone = 0, kFailed = 1, kBadUsage = 2 };

// Runs one command of the package tool; args are the words after the
// program's name. Listings and entry bytes go to out, messages to err.
//
//   list FILE                                  the entries of a package
//   extract FILE [ENTRY...] [-C DIR]           entries (all by default) into DIR
//   create FILE [--name N] [--class C] FILE... a package of the given files
//   cat FILE ENTRY                             one entry's bytes
//   dump FILE [ENTRY]                          the mesh tree(s) of a mesh or model package
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vmftool
