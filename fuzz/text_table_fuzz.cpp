// Parses the input as a text table and reads, in every typed way, the
// entries whose numbers appear in it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "render/text_table.h"

namespace {

constexpr int kMaxLookups = 64;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  render::TextTable table;
  table.parse(render::Block::copy_of(input));
  int lookups = 0;
  for (std::size_t i = 0; i + 4 <= input.size() && lookups < kMaxLookups; ++i) {
    if (!is_digit(input[i]) || !is_digit(input[i + 1]) || !is_digit(input[i + 2]) || !is_digit(input[i + 3]))
      continue;
    const int number = (input[i] - '0') * 1000 + (input[i + 1] - '0') * 100 + (input[i + 2] - '0') * 10 +
                       (input[i + 3] - '0');
    ++lookups;
    int a = 0;
    int b = 0;
    int c = 0;
    base::Rect rect;
    std::uint32_t colour = 0;
    table.text(number);
    table.integer(number, a);
    table.pair(number, a, b);
    table.triple(number, a, b, c);
    table.rect(number, rect);
    table.colour(number, colour);
  }
  return 0;
}
