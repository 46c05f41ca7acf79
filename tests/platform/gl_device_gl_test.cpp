#include <gtest/gtest.h>

#include "platform/gfx_device.h"
#include "platform/message_queue.h"
#include "platform/window_system.h"
#include "support/gl_window.h"

namespace {

class GlDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(gl_.open(160, 120, &why)) << why;
  }

  test_support::GlWindow gl_;
  std::unique_ptr<platform::WindowSystem>& system_ = gl_.system;
  std::unique_ptr<platform::Window>& window_ = gl_.window;
  std::unique_ptr<gfx::Device>& device_ = gl_.device;
};

TEST_F(GlDeviceTest, ReportsACoreContextOfAtLeast33) {
  gfx::DeviceInfo info = device_->info();
  int major = 0, minor = 0;
  ASSERT_EQ(std::sscanf(info.version.c_str(), "%d.%d", &major, &minor), 2) << info.version;
  EXPECT_GE(major * 10 + minor, 33) << info.version;
  EXPECT_GE(info.max_texture_size, 1024);
}

TEST_F(GlDeviceTest, ClearsToAColourAndReadsItBack) {
  device_->clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF2040C0, 1.0f, 0);
  gfx::Image image = device_->read_back();
  ASSERT_EQ(image.width, 160);
  ASSERT_EQ(image.height, 120);
  EXPECT_EQ(image.pixel(0, 0), 0xFF2040C0u);
  EXPECT_EQ(image.pixel(159, 119), 0xFF2040C0u);
}

TEST_F(GlDeviceTest, ViewportLimitsTheClearAndCountsRowsFromTheTop) {
  device_->clear(gfx::kClearTarget, 0xFF000000, 1.0f, 0);
  // A band at the top: rows 0..9 only.
  device_->set_viewport(gfx::Viewport{0, 0, 160, 10, 0.0f, 1.0f});
  device_->clear(gfx::kClearTarget, 0xFFFFFFFF, 1.0f, 0);
  gfx::Image image = device_->read_back();
  EXPECT_EQ(image.pixel(80, 5), 0xFFFFFFFFu);
  EXPECT_EQ(image.pixel(80, 10), 0xFF000000u);
  EXPECT_EQ(image.pixel(80, 115), 0xFF000000u);
}

TEST_F(GlDeviceTest, ResetFollowsANewWindowSize) {
  window_->resize_client(200, 100);
  system_->pump();
  ASSERT_TRUE(device_->reset(gfx::PresentParams{}));
  EXPECT_EQ(device_->params().width, 200);
  EXPECT_EQ(device_->params().height, 100);
  device_->clear(gfx::kClearTarget, 0xFF00FF00, 1.0f, 0);
  gfx::Image image = device_->read_back();
  EXPECT_EQ(image.width, 200);
  EXPECT_EQ(image.pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(image.pixel(199, 99), 0xFF00FF00u);
  EXPECT_TRUE(device_->present());
}

}  // namespace
