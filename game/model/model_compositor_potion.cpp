// The potion game and its nested records: its pipes and its lists of colours. The game is
// filled after the walk, the graphics last of all, once the pipes are linked.

#include <array>

#include "model/mix_potion_mini_game.h"
#include "model/model_compositor.h"
#include "model/model_types.h"

namespace {

using Game = CMixPotionMiniGame;

struct TMixPotionRecord : TSceneRecord<Game> {
  enum TPair { Button, ResetButton, Cboard, Board, PairCount };
  std::array<std::array<uint32_t, 2>, PairCount> positions{};
  uint32_t colorSystem = 0;
  TString mixSound;
  TString wonSound;
  TString tryAgainSound;
  std::array<TString, Game::GraphicCount> graphics;
  std::vector<CModelCompositor::TMixPotionPipeRecord> pipes;
  std::vector<uint32_t> givenColors;
  std::vector<uint32_t> needColors;

  void Finish() {
    scene->SetMixSoundFile(mixSound);
    scene->SetWonSoundFile(wonSound);
    scene->SetTryAgainSoundFile(tryAgainSound);
    scene->SetX(positions[Board][0]);
    scene->SetY(positions[Board][1]);
    scene->SetColorSystem(colorSystem);
    scene->SetGivenColors(givenColors);
    scene->SetNeedColors(needColors);
    scene->SetButtonPosition(positions[Button][0], positions[Button][1]);
    scene->SetResetButtonPosition(positions[ResetButton][0], positions[ResetButton][1]);
    scene->SetCboardPosition(positions[Cboard][0], positions[Cboard][1]);
    for (const auto& pipe : pipes) scene->AddPipe(pipe.x, pipe.y, pipe.h, pipe.id, pipe.connections);
    scene->ConnectPipes();
    for (uint32_t i = 0; i < Game::GraphicCount; ++i) scene->SetGraphic(i, graphics[i]);
  }
};

}  // namespace

std::unique_ptr<CScene> CModelCompositor::ComposeMixPotionMiniGame(TLuaTable& table) {
  using Record = TMixPotionRecord;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    PlaceKeys(gameRules, "buttonX", "buttonY", &Record::positions, Record::Button);
    PlaceKeys(gameRules, "resetbuttonX", "resetbuttonY", &Record::positions, Record::ResetButton);
    PlaceKeys(gameRules, "cboardX", "cboardY", &Record::positions, Record::Cboard);
    PlaceKeys(gameRules, "x", "y", &Record::positions, Record::Board);
    gameRules.Field("colorSystem", &Record::colorSystem)
        .Field("mixSoundFile", &Record::mixSound)
        .Field("wonSoundFile", &Record::wonSound)
        .Field("tryAgainSoundFile", &Record::tryAgainSound);
    for (uint32_t i = 0; i < Game::GraphicCount; ++i) {
      gameRules.Key(Game::GraphicKeys[i],
                    [i](Record& record, const CRecordEntry& entry) { record.graphics[i] = entry.String(); });
    }
    gameRules
        .Nested(ModelMixPotionPipe, [](Record& record, TLuaTable& pipe) { record.pipes.push_back(ComposeMixPotionPipe(pipe)); })
        .Nested(ModelMixPotionGivenColors, [](Record& record, TLuaTable& list) { ComposeColorList(list, record.givenColors); })
        .Nested(ModelMixPotionNeedColors, [](Record& record, TLuaTable& list) { ComposeColorList(list, record.needColors); });
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}

CModelCompositor::TMixPotionPipeRecord CModelCompositor::ComposeMixPotionPipe(TLuaTable& table) {
  using Record = TMixPotionPipeRecord;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> pipeRules;
    pipeRules.Field("id", &Record::id)
        .Field("x", &Record::x)
        .Field("y", &Record::y)
        .Field("h", &Record::h)
        .Nested(PlainTableType, [](Record& pipe, TLuaTable& ids) {
          WalkListValues(ids, [&](const CRecordEntry& id) { pipe.connections.push_back(id.Unsigned()); });
        });
    return pipeRules;
  }();
  Record pipe;
  rules.Walk(pipe, table);
  return pipe;
}

void CModelCompositor::ComposeColorList(TLuaTable& table, std::vector<uint32_t>& colors) {
  WalkListValues(table, [&](const CRecordEntry& entry) { colors.push_back(ColorFromName(entry.String())); });
}
