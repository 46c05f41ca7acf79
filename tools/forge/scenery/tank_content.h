#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace forge::scenery {

// A file of the program folder: its path below the folder ('/' separators)
// and its bytes.
struct ContentFile {
  std::string path;
  std::vector<std::uint8_t> bytes;
};

// Everything the tanks need, the same bytes on every run:
//   Scene/SeaSet01.vmf          the floor and back wall, camera, light and
//                               water pattern, "ocean" and "bubble"
//   Scene/<tank>.vmf .bmp .txt  each tank: sea set name, layout, zones;
//                               its thumbnail and title
//   Scene/<layout>.vmf          the meshes each layout places
//   System/WS.vmf, WS0.vmf      the water light pattern frames (WS0 for
//                               devices without pixel shaders, half size)
// nullopt when any part cannot be made.
std::optional<std::vector<ContentFile>> tank_content();

}  // namespace forge::scenery
