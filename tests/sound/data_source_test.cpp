#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/file_map.h"
#include "platform/settings.h"
#include "sound/ogg_data_source.h"
#include "sound/sound_data_source.h"
#include "sound/stream_spooler.h"
#include "sound_test_util.h"

using SoundDataSource = TSoundTest;

namespace {

std::vector<int16_t> ReadAll(TSoundDataSource& source) {
  std::vector<int16_t> out(size_t(source.GetLength() / 2));
  uint32_t got = source.Read(out.data(), 0, uint32_t(source.GetLength()));
  out.resize(got / 2);
  return out;
}

std::shared_ptr<TMemDataSource> MonoRamp(int frames, int rate) {
  std::vector<unsigned char> pcm(size_t(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    int16_t s = int16_t(i + 1);
    memcpy(&pcm[size_t(i) * 2], &s, 2);
  }
  return std::make_shared<TMemDataSource>(std::move(pcm), rate, 1, double(frames) / rate);
}

}  // namespace

TEST_F(SoundDataSource, OggSourceDecodesThroughTheFileLayer) {
  TPcm reference = DecodeReference("tone_a.ogg");
  ASSERT_EQ(reference.Frames(), 13230u);
  std::string bytes = ReadTextFile(TString(TARVELON_FIXTURES) + "/sound/tone_a.ogg");
  RegisterMemoryFile("sfx/tone_a.ogg", bytes.data(), bytes.size());
  for (TString name : {SoundFixture("tone_a.ogg"), TString("sfx/tone_a.ogg")}) {
    TOggDataSource source;
    ASSERT_TRUE(source.Open(name)) << name.c_str();
    EXPECT_EQ(source.GetSampleRate(), 44100);
    EXPECT_EQ(source.GetChannels(), 2);
    EXPECT_EQ(source.GetLength(), 13230 * 4);
    EXPECT_DOUBLE_EQ(source.GetDuration(), 0.3);
    EXPECT_EQ(ReadAll(source), reference.samples) << name.c_str();
  }
}

TEST_F(SoundDataSource, ReadingAPlaceAgainSeeksBack) {
  TOggDataSource source;
  ASSERT_TRUE(source.Open(SoundFixture("tone_a.ogg")));
  std::vector<char> first(4000), other(4000), again(4000);
  ASSERT_EQ(source.Read(first.data(), 8000, 4000), 4000u);
  ASSERT_EQ(source.Read(other.data(), 0, 4000), 4000u);
  ASSERT_EQ(source.Read(again.data(), 8000, 4000), 4000u);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  EXPECT_EQ(source.Read(first.data(), source.GetLength(), 4000), 0u);
}

TEST_F(SoundDataSource, ShortSoundsAreHeldInMemoryLongOnesStream) {
  const struct {
    const char* file;
    bool stream;
    bool keepUncompressed;
    bool inMemory;
  } cases[] = {
      {"tone_1990ms.ogg", false, false, true},  {"tone_2000ms.ogg", false, false, false},
      {"tone_2000ms.ogg", false, true, true},   {"tone_1990ms.ogg", true, true, false},
      {"tone_a.ogg", true, false, false},
  };
  for (const auto& c : cases) {
    SetConfig("keepogguncompressed", c.keepUncompressed ? "1" : "0");
    std::shared_ptr<TSoundDataSource> source = FindSoundDataSourceBuilder(SoundFixture(c.file), c.stream);
    ASSERT_NE(source, nullptr) << c.file;
    EXPECT_EQ(dynamic_cast<TMemDataSource*>(source.get()) != nullptr, c.inMemory)
        << c.file << " stream " << c.stream << " keep " << c.keepUncompressed;
    EXPECT_EQ(source->GetSampleRate(), c.file[5] == 'a' ? 44100 : 22050);
  }
  // Held in memory, the samples are the same as streamed.
  SetConfig("keepogguncompressed", "1");
  auto memory = FindSoundDataSourceBuilder(SoundFixture("tone_2000ms.ogg"), false);
  auto streamed = FindSoundDataSourceBuilder(SoundFixture("tone_2000ms.ogg"), true);
  EXPECT_EQ(memory->GetLength(), 44100 * 2);
  EXPECT_DOUBLE_EQ(memory->GetDuration(), 2.0);
  EXPECT_EQ(ReadAll(*memory), ReadAll(*streamed));
}

TEST_F(SoundDataSource, NamesWithoutAKnownExtensionTryOgg) {
  TTempFolder folder;
  std::filesystem::copy_file(std::string(TARVELON_FIXTURES) + "/sound/tone_b.ogg", (folder / "click.snd.ogg").c_str());
  std::filesystem::copy_file(std::string(TARVELON_FIXTURES) + "/sound/tone_b.ogg", (folder / "beep.OGG").c_str());
  const struct {
    TString name;
    bool found;
  } cases[] = {
      {SoundFixture("tone_b"), true},               // no dot
      {"::" + (folder / "click.snd"), true},         // unregistered extension
      {"::" + (folder / "beep.OGG"), true},          // the extension's case does not matter
      {SoundFixture("tone_b.wav"), false},           // no such file either way
      {"::" + (folder / "click"), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindSoundDataSourceBuilder(c.name, false) != nullptr, c.found) << c.name.c_str();
  }
  ClearSoundDataSourceBuilders();
  EXPECT_EQ(FindSoundDataSourceBuilder(SoundFixture("tone_b.ogg"), false), nullptr);
}

TEST_F(SoundDataSource, DamagedFilesFailToOpenWithALogLine) {
  const struct {
    const char* file;
    const char* fault;
  } cases[] = {
      {"corrupt.ogg", "not an Ogg Vorbis stream"},
      {"truncated_header.ogg", "not an Ogg Vorbis stream"},
      {"three_channels.ogg", "only mono and stereo sounds play"},
      {"missing.ogg", "file not found"},
  };
  for (const auto& c : cases) {
    TLogCapture log;
    TOggDataSource source;
    EXPECT_FALSE(source.Open(SoundFixture(c.file))) << c.file;
    EXPECT_EQ(source.Read(nullptr, 0, 100), 0u);
    EXPECT_EQ(log.Count(std::string("OGG file could not be opened: ") + SoundFixture(c.file).c_str() + " (" +
                        c.fault + ")"),
              1)
        << log.Text();
  }
}

TEST_F(SoundDataSource, AudioCutShortPlaysWhatIsThere) {
  TOggDataSource source;
  ASSERT_TRUE(source.Open(SoundFixture("truncated_data.ogg")));
  std::vector<unsigned char> pcm = source.DecodeAll();
  EXPECT_GT(pcm.size(), 0u);
  EXPECT_LE(int64_t(pcm.size()), source.GetLength());
  EXPECT_LT(source.GetDuration(), 0.3);
  TPcm whole = DecodeReference("tone_a.ogg");
  // Whatever was decoded matches the start of the whole sound within the codec's noise.
  const int16_t* samples = reinterpret_cast<const int16_t*>(pcm.data());
  size_t count = std::min(pcm.size() / 2, whole.samples.size());
  long worst = 0;
  for (size_t i = 0; i < count / 2; ++i) worst = std::max(worst, std::labs(long(samples[i]) - whole.samples[i]));
  EXPECT_LT(worst, 2000);
}

TEST_F(SoundDataSource, MemorySourceClipsAtItsEnd) {
  auto source = MonoRamp(5, 8000);
  int16_t out[8] = {};
  EXPECT_EQ(source->Read(out, 6, 16), 4u);
  EXPECT_EQ(out[0], 4);
  EXPECT_EQ(out[1], 5);
  EXPECT_EQ(source->Read(out, 10, 2), 0u);
  EXPECT_EQ(source->Read(out, -2, 2), 0u);
}

TEST(StreamSpooler, ReadsLoopsAndSeeks) {
  auto source = MonoRamp(4, 4);
  TStreamSpooler spooler(source);
  int16_t out[6];
  uint32_t delivered = 0;
  EXPECT_FALSE(spooler.Read(12, out, &delivered, false));
  EXPECT_EQ(delivered, 8u);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), (std::vector<int16_t>{1, 2, 3, 4, 0, 0}));

  spooler.Seek(0.5);  // two frames in
  EXPECT_EQ(spooler.GetPosition(), 4);
  EXPECT_TRUE(spooler.Read(12, out, &delivered, true));
  EXPECT_EQ(delivered, 12u);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), (std::vector<int16_t>{3, 4, 1, 2, 3, 4}));
  // Ending exactly at the end, the next looping read starts over.
  EXPECT_TRUE(spooler.Read(4, out, &delivered, true));
  EXPECT_EQ(std::vector<int16_t>(out, out + 2), (std::vector<int16_t>{1, 2}));
  EXPECT_DOUBLE_EQ(spooler.GetDuration(), 1.0);

  spooler.Release();
  EXPECT_TRUE(spooler.Read(4, out, &delivered, true));
  EXPECT_EQ(delivered, 0u);
  EXPECT_EQ(spooler.GetDuration(), 0.0);
}

TEST(StreamSpooler, LoopingOverNothingGivesSilence) {
  TStreamSpooler spooler(MonoRamp(0, 8000));
  int16_t out[4] = {7, 7, 7, 7};
  uint32_t delivered = 1;
  EXPECT_FALSE(spooler.Read(8, out, &delivered, true));
  EXPECT_EQ(delivered, 0u);
  EXPECT_EQ(std::vector<int16_t>(out, out + 4), (std::vector<int16_t>{0, 0, 0, 0}));
}
