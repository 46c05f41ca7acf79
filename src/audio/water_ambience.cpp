#include "audio/water_ambience.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace audio {

namespace {

constexpr uint32_t kRate = 22050;
constexpr double kLoopSeconds = 10.0;
constexpr double kCrossFadeSeconds = 1.5;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kBedRms = 0.045;  // of full scale: quiet enough for an hour

// splitmix64: a small generator of our own, so the sound never depends on
// anybody else's random sequence.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // [0, 1)
  double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  double between(double low, double high) { return low + (high - low) * unit(); }

 private:
  uint64_t state_;
};

// Second-order Butterworth filter (bilinear transform), low- or high-pass.
class Biquad {
 public:
  static Biquad low_pass(double corner, double rate) { return Biquad(corner, rate, false); }
  static Biquad high_pass(double corner, double rate) { return Biquad(corner, rate, true); }

  double step(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  Biquad(double corner, double rate, bool high) {
    const double w = kTwoPi * corner / rate;
    const double alpha = std::sin(w) / (2.0 * 0.7071067811865476);
    const double a0 = 1.0 + alpha;
    const double c = std::cos(w);
    b0_ = (high ? (1.0 + c) : (1.0 - c)) / 2.0 / a0;
    b1_ = (high ? -(1.0 + c) : (1.0 - c)) / a0;
    b2_ = b0_;
    a1_ = -2.0 * c / a0;
    a2_ = (1.0 - alpha) / a0;
  }

  double b0_, b1_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Noise with a soft, deep colour: pink noise (three leaky sums of white)
// plus some brown noise, low-passed near 500 Hz. The rumble below 60 Hz,
// which small speakers cannot play, is taken out.
class WaterNoise {
 public:
  explicit WaterNoise(double rate)
      : low_pass_(Biquad::low_pass(500.0, rate)), high_pass_(Biquad::high_pass(60.0, rate)) {}
  double step(double white) {
    pink_[0] = 0.99765 * pink_[0] + white * 0.0990460;
    pink_[1] = 0.96300 * pink_[1] + white * 0.2965164;
    pink_[2] = 0.57000 * pink_[2] + white * 1.0526913;
    const double pink = pink_[0] + pink_[1] + pink_[2] + white * 0.1848;
    brown_ = 0.996 * brown_ + 0.06 * white;
    return high_pass_.step(low_pass_.step(0.8 * pink + brown_));
  }

 private:
  std::array<double, 3> pink_{};
  double brown_ = 0.0;
  Biquad low_pass_;
  Biquad high_pass_;
};

// The slow swell of the water, periodic over the loop so the loop keeps it.
double swell(double t, double phase) {
  const double u = kTwoPi * t / kLoopSeconds;
  return 1.0 + 0.30 * std::sin(u + phase) + 0.15 * std::sin(2.0 * u + 1.7 * phase) +
         0.08 * std::sin(3.0 * u + 0.4 + phase);
}

// One noise bed channel pair over `frames` frames: two independent noises
// mixed so the channels are related but not the same.
void noise_bed(std::size_t frames, Random& random, std::vector<double>& left, std::vector<double>& right) {
  WaterNoise a(kRate);
  WaterNoise b(kRate);
  const double mix = 0.35;
  left.resize(frames);
  right.resize(frames);
  for (std::size_t i = 0; i < frames; ++i) {
    const double na = a.step(random.between(-1.0, 1.0));
    const double nb = b.step(random.between(-1.0, 1.0));
    const double t = static_cast<double>(i) / kRate;
    left[i] = (std::cos(mix) * na + std::sin(mix) * nb) * swell(t, 0.0);
    right[i] = (std::sin(mix) * na + std::cos(mix) * nb) * swell(t, 0.9);
  }
}

// The first `frames` samples, with the samples after them faded into the
// start (equal power): the last sample is followed seamlessly by the first.
std::vector<double> looped(const std::vector<double>& x, std::size_t frames, std::size_t fade) {
  std::vector<double> out(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(frames));
  for (std::size_t i = 0; i < fade; ++i) {
    const double w = (kTwoPi / 4.0) * static_cast<double>(i) / static_cast<double>(fade);
    out[i] = x[i] * std::sin(w) + x[frames + i] * std::cos(w);
  }
  return out;
}

double rms(const std::vector<double>& a, const std::vector<double>& b) {
  double sum = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * a[i] + b[i] * b[i];
  return std::sqrt(sum / static_cast<double>(2 * a.size()));
}

// A bubble: a sine sweeping up from f0 to f1 over its length, with a soft
// attack and a decay that reaches zero at its end. Added around the loop, so
// a bubble at the end continues at the start.
void add_bubble(std::vector<double>& left, std::vector<double>& right, double start, Random& random) {
  const double length = random.between(0.030, 0.080);
  const double f0 = random.between(280.0, 420.0);
  const double f1 = random.between(900.0, 1250.0);
  const double amplitude = random.between(0.025, 0.07);
  const double pan = random.between(0.2, 0.8) * kTwoPi / 4.0;
  const double attack = 0.003;
  const std::size_t frames = left.size();
  const auto first = static_cast<std::size_t>(start * kRate);
  const auto count = static_cast<std::size_t>(length * kRate);
  double phase = 0.0;
  for (std::size_t n = 0; n < count; ++n) {
    const double t = static_cast<double>(n) / kRate;
    const double f = f0 * std::pow(f1 / f0, t / length);
    phase += kTwoPi * f / kRate;
    const double rise = t < attack ? 0.5 - 0.5 * std::cos(kTwoPi / 2.0 * t / attack) : 1.0;
    const double fall = std::exp(-t / (0.35 * length)) * (1.0 - t / length) * (1.0 - t / length);
    const double value = amplitude * rise * fall * std::sin(phase);
    const std::size_t at = (first + n) % frames;
    left[at] += value * std::cos(pan);
    right[at] += value * std::sin(pan);
  }
}

}  // namespace

PcmSamples synthesize_water_ambience() {
  Random random(0x57A7E12Bu);
  const auto frames = static_cast<std::size_t>(kLoopSeconds * kRate);
  const auto fade = static_cast<std::size_t>(kCrossFadeSeconds * kRate);

  std::vector<double> long_left;
  std::vector<double> long_right;
  noise_bed(frames + fade, random, long_left, long_right);
  std::vector<double> left = looped(long_left, frames, fade);
  std::vector<double> right = looped(long_right, frames, fade);
  const double scale = kBedRms / rms(left, right);
  for (std::size_t i = 0; i < frames; ++i) {
    left[i] *= scale;
    right[i] *= scale;
  }

  // Bubbles come alone or in short trains, at irregular times.
  double t = random.between(0.2, 1.0);
  while (t < kLoopSeconds) {
    const int train = 1 + static_cast<int>(random.unit() * 3.0);
    double at = t;
    for (int k = 0; k < train; ++k) {
      add_bubble(left, right, at, random);
      at += random.between(0.06, 0.16);
    }
    t += random.between(0.35, 1.4);
  }

  PcmSamples pcm;
  pcm.rate = kRate;
  pcm.channels = 2;
  pcm.samples.resize(frames * 2);
  for (std::size_t i = 0; i < frames; ++i) {
    pcm.samples[2 * i] = static_cast<int16_t>(std::lround(std::clamp(left[i], -1.0, 1.0) * 32767.0));
    pcm.samples[2 * i + 1] = static_cast<int16_t>(std::lround(std::clamp(right[i], -1.0, 1.0) * 32767.0));
  }
  return pcm;
}

}  // namespace audio
