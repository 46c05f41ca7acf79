#include "base/crt_random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using base::CrtRandom;

std::vector<int> draw(CrtRandom& random, int count) {
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(random.next());
  return values;
}

TEST(CrtRandomTest, KnownSequences) {
  struct Case {
    std::uint32_t seed;
    std::vector<int> first;
  };
  const Case cases[] = {
      {1, {41, 18467, 6334, 26500, 19169}},
      {0, {38, 7719, 21238}},
      {12345, {7584, 19164, 25795}},
  };
  for (const Case& c : cases) {
    CrtRandom random;
    random.seed(c.seed);
    EXPECT_EQ(draw(random, static_cast<int>(c.first.size())), c.first) << "seed " << c.seed;
  }
}

TEST(CrtRandomTest, DefaultSeedIsOneAndReseedingRestarts) {
  CrtRandom random;
  EXPECT_EQ(draw(random, 5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));
  random.seed(12345);
  EXPECT_EQ(draw(random, 2), (std::vector<int>{7584, 19164}));
  random.seed(1);
  EXPECT_EQ(draw(random, 2), (std::vector<int>{41, 18467}));
}

TEST(CrtRandomTest, ValuesStayIn15Bits) {
  CrtRandom random(987654321u);
  for (int i = 0; i < 10000; ++i) {
    const int v = random.next();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, CrtRandom::kMax);
  }
}

TEST(CrtRandomTest, UnitAndChanceUseTheNextDraw) {
  CrtRandom random;
  EXPECT_FLOAT_EQ(random.unit(), 41.0f / 32767.0f);
  EXPECT_FLOAT_EQ(random.unit(), 18467.0f / 32767.0f);

  // The draws from seed 1 are 41, 18467, 6334, 26500: each chance() below
  // consumes one of them.
  random.seed(1);
  EXPECT_TRUE(random.chance(41.0f / 32767.0f));  // 41 <= 41
  EXPECT_FALSE(random.chance(0.5f));             // 18467 > 16383.5
  EXPECT_FALSE(random.chance(0.0f));             // 6334 > 0
  EXPECT_TRUE(random.chance(1.0f));              // anything <= 32767
  EXPECT_EQ(random.next(), 19169);
}

TEST(CrtRandomTest, SharedGeneratorIsOneInstance) {
  CrtRandom& shared = base::crt_rand();
  EXPECT_EQ(&shared, &base::crt_rand());
  shared.seed(1);
  EXPECT_EQ(base::crt_rand().next(), 41);
  EXPECT_EQ(shared.next(), 18467);

  // A private generator does not disturb the shared sequence.
  CrtRandom own;
  own.next();
  EXPECT_EQ(base::crt_rand().next(), 6334);
}

}  // namespace
