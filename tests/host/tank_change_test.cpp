// Tank changes on the application with the generated tanks: Page Down and
// Page Up fade to black, load the next tank of the list and fade back in.
#include <gtest/gtest.h>

#include "app_harness.h"
#include "host/accelerators.h"

namespace {

using host_test::AppHarness;

class TankChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_.create_application());
    harness_.drain();
  }

  std::string current_tank() const { return base::user_settings().text(base::UserSettings::kTankName, 64); }

  // Renders frames 0.1 s apart until the fade has ended; the simulated
  // seconds it took.
  double run_fade() {
    double seconds = 0.0;
    for (int frame = 0; frame < 200 && app_.tank_fade().running(); ++frame) {
      harness_.now += 0.1;
      seconds += 0.1;
      app_.render_frame();
      if (app_.tank_fade().state() == host::TankFade::State::FadingOut) out_seconds_ = seconds;
    }
    return seconds;
  }

  AppHarness harness_{"Brinewick.scr /r"};
  host::AquariumApplication& app_ = harness_.make();
  double out_seconds_ = 0.0;
};

TEST_F(TankChangeTest, PageDownStepsThroughTheWholeListThroughBlack) {
  ASSERT_EQ(current_tank(), "Tank01_Anemone01");
  ASSERT_TRUE(app_.aquarium().scene().loaded());
  const int sea_set_loads = app_.aquarium().scene().sea_set_loads();
  const std::size_t objects = app_.aquarium().scene().objects().size();

  app_.on_command(host::command::kNextTank);
  EXPECT_EQ(app_.tank_fade().state(), host::TankFade::State::FadingOut);
  EXPECT_EQ(current_tank(), "Tank01_Anemone01") << "nothing changes before the screen is black";
  const double seconds = run_fade();
  EXPECT_NEAR(out_seconds_, 3.0, 0.25);
  EXPECT_NEAR(seconds, 6.0, 0.25);
  EXPECT_EQ(current_tank(), "Tank02_Reef01");
  EXPECT_EQ(app_.aquarium().scene().sea_set_loads(), sea_set_loads) << "the shared floor is not loaded again";
  EXPECT_NE(app_.aquarium().scene().objects().size(), objects);

  app_.on_command(host::command::kNextTank);
  run_fade();
  EXPECT_EQ(current_tank(), "Tank01_Anemone01") << "the list wraps";
  app_.on_command(host::command::kPreviousTank);
  run_fade();
  EXPECT_EQ(current_tank(), "Tank02_Reef01");
}

TEST_F(TankChangeTest, AChangeAskedForWhileADialogIsOpenOnlyFades) {
  app_.on_command(host::command::kNextTank);
  base::runtime_state().set(base::RuntimeState::kDialogOpen, true);
  run_fade();
  base::runtime_state().set(base::RuntimeState::kDialogOpen, false);
  EXPECT_EQ(current_tank(), "Tank01_Anemone01");
  EXPECT_TRUE(app_.aquarium().tanks().pending().empty()) << "the pending tank was taken at black";
}

TEST_F(TankChangeTest, ATankThatDoesNotLoadFallsBackToTheDefaultTank) {
  EXPECT_EQ(app_.aquarium().load_tank_by_name("Tank99_Missing"), "Tank01_Anemone01");
  EXPECT_EQ(current_tank(), "Tank01_Anemone01");
  EXPECT_TRUE(app_.aquarium().scene().loaded());
}

}  // namespace
