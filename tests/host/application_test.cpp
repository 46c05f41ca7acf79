#include <gtest/gtest.h>

#include "app_harness.h"
#include "host/accelerators.h"
#include "host/saver_mode.h"
#include "host/settings_file.h"
#include "render/fake_caps_provider.h"

namespace {

using host::SaverMode;
using host_test::AppHarness;
using platform::make_point_lparam;

TEST(Application, EachModeGetsItsWindowCadenceAndInput) {
  struct Case {
    const char* command_line;
    SaverMode mode;
    platform::WindowShape shape;
    bool windowed;
    bool interactive;
    bool configure;
    int timer;  // ms after the start, 0 = rendering when idle
  };
  const Case cases[] = {
      {"Brinewick.scr /s", SaverMode::FullScreenSaver, platform::WindowShape::Popup, false, true, false, 0},
      {"Brinewick.scr /p 4242", SaverMode::Preview, platform::WindowShape::Child, true, false, false, 30},
      {"Brinewick.scr /d 4242", SaverMode::ActiveDesktop, platform::WindowShape::Child, true, true, false,
       15},
      {"Brinewick.scr", SaverMode::Standalone, platform::WindowShape::Framed, false, true, true, 0},
      {"Brinewick.scr /c:77", SaverMode::Standalone, platform::WindowShape::Framed, false, true, true, 0},
  };
  for (const Case& c : cases) {
    AppHarness harness(c.command_line);
    auto& app = harness.make();
    ASSERT_TRUE(app.create_application()) << c.command_line;
    harness.drain();
    EXPECT_EQ(app.mode(), c.mode) << c.command_line;
    EXPECT_EQ(harness.window().shape, c.shape) << c.command_line;
    EXPECT_EQ(app.windowed(), c.windowed) << c.command_line;
    EXPECT_EQ(app.interactive(), c.interactive) << c.command_line;
    EXPECT_EQ(app.configure_requested(), c.configure) << c.command_line;
    EXPECT_TRUE(app.started()) << c.command_line;
    EXPECT_EQ(app.timer_interval(), c.timer) << c.command_line;
    ASSERT_TRUE(harness.instances.registered) << c.command_line;
    EXPECT_EQ(harness.instances.registered->window_class, "Pelorin Tessaly Class");
  }
}

TEST(Application, FreeStandingRunUsesTheStoredWindow) {
  AppHarness harness("Brinewick.scr /r");
  base::UserSettings stored;
  host::reset_to_defaults(stored, 1920, 1080);
  stored.set_flag(base::UserSettings::kWindowed, true);
  stored.set_i32(base::UserSettings::kWindowLeft, 100);
  stored.set_i32(base::UserSettings::kWindowTop, 50);
  stored.set_i32(base::UserSettings::kWindowWidth, 640);
  stored.set_i32(base::UserSettings::kWindowHeight, 360);
  std::string folder = harness.environment.home() + "Documents/Pelorin Tessaly/";
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(host::save_settings(stored, folder));

  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  EXPECT_EQ(harness.window().title(), "Pelorin Tessaly");
  EXPECT_TRUE(app.windowed());
  EXPECT_FALSE(harness.window().fullscreen());
  EXPECT_EQ(harness.window().client_rect(), (base::Rect{0, 0, 640, 360}));
  base::Rect outer = harness.window().window_rect();
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 50);
}

TEST(Application, PreviewTakesItsParentsSizeAndReleasesTheSemaphoreOnce) {
  AppHarness harness("Brinewick.scr /p 4242");
  harness.semaphore_table.counts["Brinewick.scr"] = 0;
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  EXPECT_EQ(harness.window().client_rect(), (base::Rect{0, 0, 152, 112}));
  EXPECT_EQ(harness.window().parent_id(), 4242u);
  harness.drain();
  EXPECT_EQ(harness.semaphore_table.counts["Brinewick.scr"], 1);
  EXPECT_TRUE(base::feature_locks().music_locked());
  // A second MSG_STARTED changes nothing.
  app.send_message(host::MSG_STARTED);
  EXPECT_EQ(harness.semaphore.releases, 1);
  // Keys do nothing in the preview.
  uint32_t before = base::runtime_state().flags;
  app.on_command(host::command::kInfoBox);
  EXPECT_EQ(base::runtime_state().flags, before);
}

TEST(Application, PreviewOfAMissingWindowFailsToStart) {
  AppHarness harness("Brinewick.scr /p 999");
  auto& app = harness.make();
  EXPECT_FALSE(app.create_application());
}

class FullScreenSaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app_.create_application());
    harness_.drain();
    base::user_settings().set_flag(base::UserSettings::kExitOnMouseMove, true);
  }
  bool closed() const { return app_.quit_requested(); }
  void move(int x, int y) { app_.send_message(platform::WM_MOUSEMOVE, 0, make_point_lparam(x, y)); }

  AppHarness harness_{"Brinewick.scr /s"};
  host::AquariumApplication& app_ = harness_.make();
};

TEST_F(FullScreenSaverTest, TheEleventhChangedPositionEndsIt) {
  for (int i = 1; i <= 10; ++i) {
    move(10 * i, 5);
    move(10 * i, 5);  // the same position again never counts
  }
  EXPECT_FALSE(closed());
  EXPECT_EQ(app_.mouse_move_count(), 10);
  move(500, 5);
  EXPECT_TRUE(closed());
}

TEST_F(FullScreenSaverTest, EscEndsIt) {
  harness_.queue.post(platform::Message{platform::WM_KEYDOWN, platform::VK_ESCAPE, 1, 0});
  platform::Message message{};
  ASSERT_TRUE(harness_.queue.peek(message, true));
  // What the loop does with a key: the shortcut table first.
  auto command = host::translate_accelerator(message.id, message.wparam, false, false, false);
  ASSERT_TRUE(command);
  app_.send_message(platform::WM_COMMAND, *command, 0);
  EXPECT_TRUE(closed());
}

TEST_F(FullScreenSaverTest, LosingActivationEndsIt) {
  app_.send_message(platform::WM_ACTIVATEAPP, 0, 0);
  EXPECT_TRUE(closed());
}

TEST_F(FullScreenSaverTest, OnlyEscEndsItFromTheKeyboard) {
  app_.send_message(platform::WM_COMMAND, host::command::kInfoBox, 0);
  app_.send_message(platform::WM_COMMAND, host::command::kWindowed, 0);
  EXPECT_FALSE(closed());
  EXPECT_FALSE(app_.windowed());
}

TEST(Application, PowerSuspendEndsOnlyTheFullScreenSaver) {
  for (const char* line : {"Brinewick.scr /s", "Brinewick.scr /r", "Brinewick.scr /d 4242"}) {
    AppHarness harness(line);
    auto& app = harness.make();
    ASSERT_TRUE(app.create_application());
    app.send_message(platform::WM_POWERBROADCAST, 4, 0);
    EXPECT_EQ(app.quit_requested(), app.mode() == SaverMode::FullScreenSaver) << line;
  }
}

TEST(Application, ASecondInstanceFollowsTheRunningOne) {
  struct Case {
    const char* command_line;
    platform::InstanceIdentity running;
    bool starts;
    bool close_sent;
    bool raised;
  };
  const Case cases[] = {
      {"Brinewick.scr /s", {"Pelorin Tessaly Class", "Pelorin Tessaly", false, 4, 1}, false, false, false},
      {"Brinewick.scr /r", {"Pelorin Tessaly Class", "Pelorin Tessaly", false, 4, 1}, false, false, true},
      {"Brinewick.scr /r", {"Pelorin Tessaly Class", "Pelorin Tessaly", true, 3, 1}, true, true, false},
      {"Brinewick.scr /r",
       {"Pelorin Tessaly Class", "Pelorin Tessaly ActiveDesktop", true, 5, 1},
       true,
       true,
       false},
      {"Brinewick.scr /p 4242",
       {"Pelorin Tessaly Class", "PELORIN TESSALY", false, 4, 1},
       false,
       false,
       true},
      {"Brinewick.scr /d 4242", {"Pelorin Tessaly Class", "Pelorin Tessaly", false, 4, 1}, true, true, false},
  };
  for (const Case& c : cases) {
    AppHarness harness(c.command_line);
    harness.instances.add_peer(c.running, [](const platform::Message&) { return std::optional<int64_t>(0); });
    auto& app = harness.make();
    EXPECT_EQ(app.create_application(), c.starts) << c.command_line;
    bool close_sent = false, raised = false;
    for (const auto& delivery : harness.instances.deliveries) {
      if (delivery.message.id == host::MSG_CLOSE_INSTANCE && !delivery.posted) close_sent = true;
      if (delivery.message.id == platform::MSG_BRING_TO_FRONT) raised = true;
    }
    EXPECT_EQ(close_sent, c.close_sent) << c.command_line;
    EXPECT_EQ(raised, c.raised) << c.command_line;
  }
}

TEST(Application, ACloseRequestUnregistersBeforeClosing) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  harness.drain();
  ASSERT_TRUE(harness.instances.registered);
  uint64_t token = harness.instances.receive(platform::Message{host::MSG_CLOSE_INSTANCE, 0, 0, 0}, true);
  // The loop's dispatch of a sent message.
  platform::Message message{};
  ASSERT_TRUE(harness.queue.peek(message, true));
  EXPECT_EQ(message.reply_token, token);
  bool registered_while_closing = true;
  int64_t result = app.window_procedure(message.id, message.wparam, message.lparam);
  registered_while_closing = harness.instances.registered.has_value();
  harness.instances.complete(token, result);
  EXPECT_FALSE(registered_while_closing);
  EXPECT_TRUE(app.quit_requested());
  EXPECT_TRUE(harness.instances.completion_of(token));
}

TEST(Application, RelaunchStartsAFreeStandingProcess) {
  AppHarness harness("Brinewick.scr /d 4242");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  app.set_windowed(true);  // the desktop mode asks for a free-standing window
  EXPECT_TRUE(app.quit_requested());
  EXPECT_EQ(app.launch_request(), 4);
  EXPECT_TRUE(base::user_settings().flag(base::UserSettings::kWindowed));
  app.launch_after_exit();
  ASSERT_EQ(harness.processes.started.size(), 1u);
  const auto& started = harness.processes.started[0];
  const std::string program = AppHarness::program_folder() + "Brinewick.scr";
  EXPECT_EQ(started.executable, program);
  EXPECT_EQ(started.argv, (std::vector<std::string>{program, "-r", "Launch"}));
  EXPECT_TRUE(started.new_process_group);
}

TEST(Application, SettingsAreSavedAtTheEndExceptInThePreview) {
  for (const char* line : {"Brinewick.scr /r", "Brinewick.scr /p 4242"}) {
    AppHarness harness(line);
    auto& app = harness.make();
    ASSERT_TRUE(app.create_application());
    std::string file = app.user_data_folder() + "UserSet";
    std::filesystem::remove(file);
    app.send_message(platform::WM_CLOSE);
    EXPECT_EQ(std::filesystem::exists(file), app.mode() != SaverMode::Preview) << line;
  }
}

TEST(Application, FinalCleanUpRunsOnceWhenReachedTwice) {
  AppHarness harness("Brinewick.scr /d 4242");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  std::string file = app.user_data_folder() + "UserSet";
  app.exit_with_launch_request(4);  // runs the clean-up, then closes
  ASSERT_TRUE(std::filesystem::exists(file));
  std::filesystem::remove(file);
  app.final_cleanup();
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(Application, PositionCommandsStayInRange) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  auto& s = base::user_settings();
  struct Case {
    int32_t start;
    uint16_t command;
    int32_t expected;
  };
  const Case cases[] = {{0, host::command::kBubblesLeft, 0},
                        {100, host::command::kBubblesRight, 100},
                        {50, host::command::kBubblesLeft, 49},
                        {50, host::command::kBubblesRight, 51}};
  for (const Case& c : cases) {
    s.set_i32(base::UserSettings::kBubbleEmitter, c.start);
    app.on_command(c.command);
    EXPECT_EQ(s.i32(base::UserSettings::kBubbleEmitter), c.expected);
  }
}

TEST(Application, TogglesChangeOnlyTheirBits) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  auto& state = base::runtime_state();
  auto& s = base::user_settings();
  struct Case {
    uint16_t command;
    uint32_t* word;
    uint32_t bit;
  };
  uint32_t settings_flags = 0;
  const Case cases[] = {
      {host::command::kInfoBox, &state.flags, base::RuntimeState::kInfoBox},
      {host::command::kWireframe, &state.flags, base::RuntimeState::kWireframe},
      {host::command::kToggleF8, &state.flags, base::RuntimeState::kToggleF8},
      {host::command::kToggleF9, &state.flags, base::RuntimeState::kToggleF9},
      {host::command::kTopmost, &settings_flags, base::UserSettings::kAlwaysOnTop},
  };
  for (const Case& c : cases) {
    settings_flags = s.flags();
    uint32_t before = *c.word;
    uint32_t other_settings = s.flags();
    app.on_command(c.command);
    if (c.word == &settings_flags) settings_flags = s.flags();
    EXPECT_EQ(*c.word ^ before, c.bit) << c.command;
    if (c.word != &settings_flags) {
      EXPECT_EQ(s.flags(), other_settings) << c.command;
    }
  }
  EXPECT_TRUE(harness.window().topmost());
}

TEST(Application, WindowedToggleOnlyInTheFreeStandingRun) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  harness.drain();
  bool before = app.windowed();
  app.on_command(host::command::kWindowed);
  EXPECT_NE(app.windowed(), before);
  EXPECT_EQ(harness.window().fullscreen(), before);
  // The render cadence follows: 15 ms windowed, idle rendering full screen.
  EXPECT_EQ(app.timer_interval(), app.windowed() ? 15 : 0);
  app.on_command(host::command::kWindowed);
  EXPECT_EQ(app.windowed(), before);
}

TEST(Application, MusicCommandIsLockedInThePreviewOnly) {
  for (const char* line : {"Brinewick.scr /r", "Brinewick.scr /p 4242"}) {
    AppHarness harness(line);
    auto& app = harness.make();
    ASSERT_TRUE(app.create_application());
    uint32_t before = base::user_settings().u32(base::UserSettings::kMusicFlags);
    // The command is given directly: the preview ignores every command, and
    // the lock is what keeps it from changing the music anyway.
    base::feature_locks().word |= app.mode() == SaverMode::Preview ? base::FeatureLocks::kMusicLocked : 0;
    app.on_command(host::command::kMusic);
    uint32_t after = base::user_settings().u32(base::UserSettings::kMusicFlags);
    EXPECT_EQ(after != before, app.mode() != SaverMode::Preview) << line;
  }
}

TEST(Application, RenewingRandomFishWaitsAFifthOfASecond) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  app.on_command(host::command::kRenewRandomFish);
  EXPECT_TRUE(app.renewed_random_fish_recently());
  harness.now += 0.1;
  app.render_frame();
  EXPECT_TRUE(app.renewed_random_fish_recently());
  harness.now += 0.15;
  app.render_frame();
  EXPECT_FALSE(app.renewed_random_fish_recently());
}

TEST(Application, FramesClearTheBarsAndDrawInTheViewRectangle) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  base::user_settings().set_i32(base::UserSettings::kViewAspect, 2);
  app.restore_device_objects();
  harness.now += 0.02;
  harness.last_device->calls.clear();
  app.render_frame();
  const auto& calls = harness.last_device->calls;
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[1], "clear 3 FF000000");
  EXPECT_EQ(calls.back(), "present");
  base::Rect view = app.view_rect();
  EXPECT_EQ(view.width() * 9, view.height() * 16);
  EXPECT_EQ(app.statistics_text(),
            std::to_string(view.width()) + "x" + std::to_string(view.height()) + "x32 FPS:30.00");
}

}  // namespace

namespace {

TEST(Application, AnUnreadableSettingsFileIsNeverReplaced) {
  AppHarness harness("Brinewick.scr /r");
  std::string folder = harness.environment.home() + "Documents/Pelorin Tessaly/";
  // A folder where the file should be cannot be read as settings.
  std::filesystem::create_directories(folder + "UserSet/keep");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  app.send_message(platform::WM_CLOSE);
  EXPECT_TRUE(std::filesystem::is_directory(folder + "UserSet/keep"));
}

TEST(Application, ExportedSettingsComeBackOnImport) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  auto& s = base::user_settings();
  s.set_u32(base::UserSettings::kMusicVolume, 37);
  std::string package = harness.environment.root() + "mine.cf";
  harness.dialogs.chosen_files.push_back(package);
  ASSERT_TRUE(app.export_settings());
  s.set_u32(base::UserSettings::kMusicVolume, 90);
  harness.dialogs.chosen_files.push_back(package);
  ASSERT_TRUE(app.import_settings());
  EXPECT_EQ(s.u32(base::UserSettings::kMusicVolume), 37u);
}

}  // namespace

namespace {

TEST(Application, UnderADaemonOnlyTheDaemonEndsTheSaver) {
  AppHarness harness("Brinewick.scr");
  harness.windows.foreign_windows[777] = base::Rect{0, 0, 1920, 1080};
  auto& app = harness.make();
  app.set_daemon_window(777);
  ASSERT_TRUE(app.create_application());
  harness.drain();
  EXPECT_EQ(app.mode(), SaverMode::FullScreenSaver);
  EXPECT_EQ(harness.window().shape, platform::WindowShape::Child);
  EXPECT_EQ(harness.window().parent_id(), 777u);
  EXPECT_EQ(harness.window().client_rect(), (base::Rect{0, 0, 1920, 1080}));
  base::user_settings().set_flag(base::UserSettings::kExitOnMouseMove, true);
  for (int i = 1; i <= 20; ++i) app.send_message(platform::WM_MOUSEMOVE, 0, make_point_lparam(7 * i, 3 * i));
  app.send_message(platform::WM_COMMAND, host::command::kExit, 0);
  app.send_message(platform::WM_ACTIVATEAPP, 0, 0);
  app.send_message(platform::WM_POWERBROADCAST, 4, 0);
  EXPECT_FALSE(app.quit_requested());
  // SIGTERM arrives as a close.
  std::string file = app.user_data_folder() + "UserSet";
  std::filesystem::remove(file);
  app.send_message(platform::WM_CLOSE);
  EXPECT_TRUE(app.quit_requested());
  EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace

namespace {

// One monitor whose adapter has only the software reference device.
std::unique_ptr<render::CapsProvider> reference_only_machine(const std::vector<platform::DisplayInfo>&) {
  auto machine = std::make_unique<render::FakeCapsProvider>();
  machine->displays = {{"DISPLAY1", "Monitor", false, true, true, 0, 0, 1920, 1080}};
  machine->monitors = {{11, base::Rect{0, 0, 1920, 1080}}};
  render::DeviceCaps caps;
  caps.device_type = render::kReferenceDevice;
  caps.pixel_shader_version = render::pixel_shader_version(2, 0);
  caps.vertex_shader_version = render::vertex_shader_version(2, 0);
  caps.presentation_intervals = render::kIntervalImmediate | render::kIntervalOne;
  caps.src_blend_caps = render::kBlendCapsAll;
  caps.dest_blend_caps = render::kBlendCapsAll;
  render::FakeAdapter adapter;
  adapter.identifier = {"drv", "Card", "DISPLAY1"};
  adapter.monitor = 11;
  adapter.desktop_mode = {1920, 1080, 60, render::PixelFormat::X8R8G8B8};
  adapter.modes = {adapter.desktop_mode};
  adapter.devices = {render::FakeDevice{caps, true}};
  machine->adapters = {adapter};
  return machine;
}

TEST(Application, WithoutAHardwareDeviceTheUserDecidesOnTheSoftwareOne) {
  for (int answer : {platform::IDOK, platform::IDCANCEL}) {
    AppHarness harness("Brinewick.scr /r");
    harness.services.caps_provider = reference_only_machine;
    harness.dialogs.answers = {answer};
    auto& app = harness.make();
    EXPECT_EQ(app.create_application(), answer == platform::IDOK);
    ASSERT_FALSE(harness.dialogs.shown.empty());
    EXPECT_NE(harness.dialogs.shown[0].text.find("Switching to the reference rasterizer"), std::string::npos);
    EXPECT_EQ(harness.dialogs.shown[0].style, platform::MB_ICONWARNING | platform::MB_OKCANCEL);
    // A refusal ends quietly: no second box.
    EXPECT_EQ(harness.dialogs.shown.size(), 1u);
    if (answer == platform::IDOK) {
      EXPECT_EQ(app.device_settings().device_type, render::kReferenceDevice);
    }
  }
}

TEST(Application, TheShaderTierFollowsTheDeviceMade) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  // The recording device reports an OpenGL 3.3 context: shader model 3.
  EXPECT_EQ(app.shader_level(), 3);
  EXPECT_EQ(app.device_settings().device_type, render::kHardwareDevice);
}

}  // namespace

namespace {

TEST(Application, TheSharedEffectIsLoadedWithTheDeviceAndReleasedWithIt) {
  AppHarness harness("Brinewick.scr /r");
  auto& app = harness.make();
  ASSERT_TRUE(app.create_application());
  EXPECT_TRUE(app.shared_effect().has_instance());
  app.send_message(platform::WM_CLOSE);
  EXPECT_FALSE(app.shared_effect().has_instance());
}

}  // namespace
