// The default tank at 1280 x 720 on the headless display: how long the
// program takes from its start to its first frame, and what one frame of
// the tank costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "host/app_harness.h"
#include "platform/posix_process.h"
#include "support/gl_window.h"
#include "support/headless_display.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

// The whole program: start, open the window, load the tank, draw one frame
// to a picture and exit.
void BM_StartToFirstFrame(benchmark::State& state) {
  std::string why;
  if (!test_support::ensure_display(&why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  platform_test::IsolatedEnvironment environment;
  const std::string program = host_test::AppHarness::program_folder() + "Brinewick.scr";
  const std::string picture = environment.root() + "first.png";
  platform::PosixProcess processes;
  for (auto _ : state) {
    const platform::ProcessStart started = processes.start(
        program, {program, "/r", "--snapshot", picture, "--frames", "1", "--size", "1280x720"}, false);
    if (!started.handle) {
      state.SkipWithError(started.error.c_str());
      return;
    }
    const std::optional<int> code = processes.wait(*started.handle, 60000);
    if (code != 0 || !std::filesystem::exists(picture)) {
      state.SkipWithError("the program wrote no picture");
      return;
    }
  }
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// One frame of the default tank in the full-screen run: the frame step, the
// drawing and the present.
void BM_TankFrame(benchmark::State& state) {
  std::string why;
  if (!test_support::ensure_display(&why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  // The window outlives the application, which releases its GL objects on
  // the window's context.
  test_support::GlWindow gl;
  host_test::AppHarness harness("Brinewick.scr /s");
  // A 1280 x 720 screen for the full-screen run.
  platform::DisplayInfo& screen = harness.windows.display_list.at(0);
  screen.rect = base::Rect{0, 0, kWidth, kHeight};
  screen.desktop_mode.width = kWidth;
  screen.desktop_mode.height = kHeight;
  harness.services.create_device = [&](platform::Window& window, const gfx::PresentParams&,
                                       std::string* error) -> std::unique_ptr<gfx::Device> {
    const base::Rect client = window.client_rect();
    if (!gl.open(client.width(), client.height(), error, "tank bench")) return nullptr;
    return std::move(gl.device);
  };
  host::AquariumApplication& app = harness.make();
  if (!app.create_application()) {
    state.SkipWithError("the application did not start");
    return;
  }
  harness.drain();
  if (!app.aquarium().scene().loaded()) {
    state.SkipWithError("the default tank did not load");
    return;
  }
  state.SetLabel(std::to_string(app.back_buffer_width()) + "x" + std::to_string(app.back_buffer_height()));
  for (auto _ : state) {
    harness.now += 1.0 / 60.0;
    app.render_frame();
  }
}
BENCHMARK(BM_TankFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
