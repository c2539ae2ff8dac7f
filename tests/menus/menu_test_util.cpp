#include "menu_test_util.h"

#include "sound/ogg_data_source.h"
#include "sound/sound.h"
#include "sound/sound_data_source.h"
#include "sound/sound_output.h"

namespace {

// An output that pulls nothing: the sounds play without a device.
class TSilentOutput : public TSoundOutput {
 public:
  bool Open(const std::shared_ptr<TSoundMixer>&, TString&) override { return true; }
  void Close() override {}
};

}  // namespace

void TMenuTest::SetUp() {
  TFlowTest::SetUp();
  RegisterOggDataSource();
  RegisterSoundAssetLoaders();
  mSound = std::make_unique<TSoundManager>();
  mSound->Initialize(std::make_unique<TSilentOutput>(), false);
}

void TMenuTest::TearDown() {
  TFlowTest::TearDown();
  mSound.reset();
  ClearSoundDataSourceBuilders();
}

void TMenuTest::WriteSound(const char* name) {
  WriteAsset(name, ReadTextFile((std::string(TARVELON_FIXTURES) + "/sound/tone_a.ogg").c_str()));
}
