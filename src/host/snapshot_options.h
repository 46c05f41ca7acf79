#pragma once
#include <optional>
#include <string>
#include <vector>

namespace host {

// "--snapshot FILE" and "--frames N": render N frames (default 90), write the
// last one to FILE as a PNG and exit. Used to see the aquarium without a
// screen. The options are taken out of the arguments before the screen-saver
// switches are read, so they never change the run mode.
struct SnapshotOptions {
  std::string path;
  int frames = 90;
  int width = 1280;
  int height = 720;
};

struct ArgumentSplit {
  std::vector<std::string> arguments;       // what is left, program name first
  std::optional<SnapshotOptions> snapshot;  // present when --snapshot was given
  std::string error;                        // non-empty for a malformed option
};

ArgumentSplit take_snapshot_options(std::vector<std::string> arguments);

}  // namespace host
