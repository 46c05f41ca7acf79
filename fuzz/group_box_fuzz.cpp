// Parses the input as a tank's group-box list; a list that reads gives its
// boxes' bounds and comes back unchanged from its own encoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "scene/group_box.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<scene::GroupBoxList> list = scene::GroupBoxList::parse(std::span(data, size));
  if (!list) return 0;
  for (const scene::GroupBox& box : list->boxes()) (void)box.bounds();
  const std::optional<scene::GroupBoxList> again = scene::GroupBoxList::parse(list->encode());
  if (!again || again->boxes().size() != list->boxes().size()) std::abort();
  return 0;
}
