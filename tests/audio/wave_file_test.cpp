#include "audio/wave_file.h"

#include <gtest/gtest.h>

#include <numeric>

#include "audio/wave_builder.h"

namespace {

using audio::WaveFile;
using audio::WaveFormat;
using audio_test::Bytes;
using audio_test::chunk;
using audio_test::fmt_body;
using audio_test::pcm16_stereo_fmt;
using audio_test::riff;

Bytes counting(std::size_t n) {
  Bytes out(n);
  std::iota(out.begin(), out.end(), uint8_t{1});
  return out;
}

Bytes extra_size(uint16_t size, const Bytes& extra = {}) {
  Bytes out;
  audio_test::put16(out, size);
  out.insert(out.end(), extra.begin(), extra.end());
  return out;
}

TEST(WaveFile, ChunkLayoutsThatAreReadAndThoseThatAreRefused) {
  struct Case {
    const char* name;
    Bytes file;
    bool ok;
    uint32_t data_size;
  };
  const Bytes data8 = counting(8);
  Bytes riff_claims_more = riff({pcm16_stereo_fmt(), chunk("data", data8)});
  riff_claims_more[4] = 0xF0;
  const Case cases[] = {
      {"fmt then data", riff({pcm16_stereo_fmt(), chunk("data", data8)}), true, 8},
      {"data before fmt", riff({chunk("data", data8), pcm16_stereo_fmt()}), true, 8},
      {"other chunks between, one of odd size",
       riff({chunk("LIST", counting(3)), pcm16_stereo_fmt(), chunk("fact", counting(4)),
             chunk("data", data8)}),
       true, 8},
      {"a data chunk claiming more than the file holds is cut",
       riff({pcm16_stereo_fmt(), chunk("data", data8, 1000)}), true, 8},
      {"data cut to whole frames", riff({pcm16_stereo_fmt(), chunk("data", counting(7))}), true, 4},
      {"a RIFF size beyond the file is cut to it", riff_claims_more, true, 8},
      {"a RIFF size that ends inside the data cuts the data",
       riff({pcm16_stereo_fmt(), chunk("data", data8)}, "WAVE", 4 + 24 + 8 + 4), true, 4},
      {"empty data", riff({pcm16_stereo_fmt(), chunk("data", {})}), true, 0},
      {"a format chunk of 18 bytes for PCM",
       riff({chunk("fmt ", fmt_body(1, 1, 8000, 1, 8, extra_size(0))), chunk("data", data8)}), true, 8},
      {"not RIFF",
       [&] {
         Bytes b = riff({pcm16_stereo_fmt(), chunk("data", data8)});
         b[3] = 'X';
         return b;
       }(),
       false, 0},
      {"not WAVE", riff({pcm16_stereo_fmt(), chunk("data", data8)}, "AVI "), false, 0},
      {"too short for a RIFF header", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A'}, false, 0},
      {"no format", riff({chunk("data", data8)}), false, 0},
      {"no data", riff({pcm16_stereo_fmt()}), false, 0},
      {"a format chunk of 14 bytes", riff({chunk("fmt ", counting(14)), chunk("data", data8)}), false, 0},
      {"a format chunk cut short by the file",
       riff({chunk("fmt ", fmt_body(1, 2, 22050, 4, 16), 16)}, "WAVE", 4 + 8 + 10), false, 0},
      {"a huge chunk hides the data",
       riff({chunk("junk", counting(2), 0xFFFFFFF0), pcm16_stereo_fmt(), chunk("data", data8)}), false, 0},
      {"no channels", riff({chunk("fmt ", fmt_body(1, 0, 22050, 4, 16)), chunk("data", data8)}), false, 0},
      {"no rate", riff({chunk("fmt ", fmt_body(1, 2, 0, 4, 16)), chunk("data", data8)}), false, 0},
      {"no bits", riff({chunk("fmt ", fmt_body(1, 2, 22050, 4, 0)), chunk("data", data8)}), false, 0},
      {"no block align", riff({chunk("fmt ", fmt_body(1, 2, 22050, 0, 16)), chunk("data", data8)}), false, 0},
      {"a block align that does not fit the samples",
       riff({chunk("fmt ", fmt_body(1, 2, 22050, 2, 16)), chunk("data", data8)}), false, 0},
      {"extra format bytes beyond the format chunk",
       riff({chunk("fmt ", fmt_body(2, 2, 22050, 2048, 4, extra_size(32, counting(4)))),
             chunk("data", data8)}),
       false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WaveFile wave;
    EXPECT_EQ(wave.open_memory(c.file), c.ok);
    EXPECT_EQ(wave.is_open(), c.ok);
    EXPECT_EQ(wave.data_size(), c.data_size);
  }
}

TEST(WaveFile, FormatsOtherThanPcmKeepTheirExtraBytes) {
  // ADPCM with 32 extra format bytes: accepted as it is; the player decides.
  const Bytes adpcm_extra = counting(32);
  WaveFile wave;
  ASSERT_TRUE(
      wave.open_memory(riff({chunk("fmt ", fmt_body(2, 2, 22050, 2048, 4, extra_size(32, adpcm_extra))),
                             chunk("data", counting(4096))})));
  EXPECT_EQ(wave.format().tag, 2);
  EXPECT_EQ(wave.format().block_align, 2048);
  EXPECT_EQ(wave.format().extra, adpcm_extra);
  EXPECT_EQ(wave.data_size(), 4096u);

  // Float samples with a 16-byte format chunk have no extra size to read.
  ASSERT_TRUE(
      wave.open_memory(riff({chunk("fmt ", fmt_body(3, 1, 48000, 4, 32)), chunk("data", counting(8))})));
  EXPECT_EQ(wave.format().sample_tag(), WaveFormat::kFloat);
  EXPECT_TRUE(wave.format().extra.empty());

  // An extensible format names its samples by the sub-format GUID.
  Bytes extensible;
  audio_test::put16(extensible, 24);  // valid bits
  audio_test::put32(extensible, 3);   // channel mask
  audio_test::put16(extensible, 1);   // sub-format: PCM ...
  extensible.resize(22, 0x11);        // ... and the rest of the GUID
  ASSERT_TRUE(
      wave.open_memory(riff({chunk("fmt ", fmt_body(0xFFFE, 2, 44100, 8, 32, extra_size(22, extensible))),
                             chunk("data", counting(16))})));
  EXPECT_EQ(wave.format().sample_tag(), WaveFormat::kPcm);
  EXPECT_EQ(wave.format().extra.size(), 22u);
}

TEST(WaveFile, ReadsTheDataInPiecesAndFromTheStartAgain) {
  const Bytes data = counting(10);
  WaveFile wave;
  ASSERT_TRUE(wave.open_memory(
      riff({chunk("fmt ", fmt_body(1, 1, 8000, 1, 8)), chunk("data", data), chunk("LIST", {9, 9})})));
  Bytes piece(4);
  EXPECT_EQ(wave.read(piece), 4u);
  EXPECT_EQ(piece, Bytes(data.begin(), data.begin() + 4));
  EXPECT_EQ(wave.read(piece), 4u);
  Bytes rest(8, 0xEE);
  EXPECT_EQ(wave.read(rest), 2u) << "no further than the data chunk";
  EXPECT_EQ(rest[0], data[8]);
  EXPECT_EQ(rest[2], 0xEE);
  EXPECT_EQ(wave.read(rest), 0u);
  wave.reset();
  Bytes all(10);
  EXPECT_EQ(wave.read(all), 10u);
  EXPECT_EQ(all, data);
  EXPECT_FALSE(wave.open("/nonexistent/file.wav"));
  EXPECT_FALSE(wave.is_open());
}

TEST(WaveFile, EncodedFilesReadBack) {
  const std::vector<int16_t> samples = {0, 1, -1, 32767, -32768, 1234};
  const Bytes file = audio::encode_wave_file(22050, 2, samples);
  WaveFile wave;
  ASSERT_TRUE(wave.open_memory(file));
  EXPECT_EQ(wave.format(), (WaveFormat{WaveFormat::kPcm, 2, 22050, 88200, 4, 16, {}}));
  Bytes data(wave.data_size());
  ASSERT_EQ(wave.read(data), 12u);
  EXPECT_EQ(data[6], 0xFF);
  EXPECT_EQ(data[7], 0x7F);

  WaveFormat adpcm{2, 1, 11025, 5512, 256, 4, counting(31)};  // odd extra: the chunk gets padded
  const Bytes odd = counting(5);
  ASSERT_TRUE(wave.open_memory(audio::encode_wave_file(adpcm, odd)));
  EXPECT_EQ(wave.format(), adpcm);
}

}  // namespace
