#include "platform/fake_sound_backend.h"

namespace platform {

namespace {

class FakeSoundBuffer final : public SoundBuffer {
 public:
  explicit FakeSoundBuffer(std::shared_ptr<FakeSoundRecord> record) : record_(std::move(record)) {}
  ~FakeSoundBuffer() override {
    record_->playing = false;
    record_->released = true;
  }

  bool write(std::span<const uint8_t> data) override {
    if (record_->lost) return false;
    record_->data.assign(data.begin(), data.end());
    ++record_->writes;
    return true;
  }
  bool play(bool loop) override {
    if (record_->lost) return false;
    ++record_->plays;
    record_->playing = true;
    record_->looping = loop;
    return true;
  }
  void stop() override {
    ++record_->stops;
    record_->playing = false;
  }
  bool playing() const override { return record_->playing; }
  bool set_volume(int32_t millibels) override {
    record_->volume = millibels;
    return true;
  }
  bool lost() const override { return record_->lost; }
  bool restore() override {
    ++record_->restores;
    if (record_->restore_failures > 0) {
      --record_->restore_failures;
      return false;
    }
    record_->lost = false;
    return true;
  }

 private:
  std::shared_ptr<FakeSoundRecord> record_;
};

}  // namespace

std::unique_ptr<SoundBuffer> FakeSoundBackend::create_buffer(const PcmFormat& format, uint32_t size) {
  if (!device_present || refuse_buffers || size == 0) return nullptr;
  auto record = std::make_shared<FakeSoundRecord>();
  record->format = format;
  record->size = size;
  buffers.push_back(record);
  return std::make_unique<FakeSoundBuffer>(record);
}

}  // namespace platform
