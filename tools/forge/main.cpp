// forge PROGRAM_FOLDER [GENERATOR...]: writes the aquarium's content. With
// names, only those generators run.
#include <algorithm>
#include <cstdio>
#include <string>

#include "forge/generator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: forge PROGRAM_FOLDER [GENERATOR...]\n");
    return 2;
  }
  forge::Output output(argv[1]);
  auto list = forge::generators();
  std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  int failures = 0;
  for (const auto& generator : list) {
    if (argc > 2 && std::find(argv + 2, argv + argc, generator.name) == argv + argc) continue;
    if (!generator.function(output)) {
      std::fprintf(stderr, "forge: %s failed\n", generator.name.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
