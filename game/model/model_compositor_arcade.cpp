// The mini-games of arcade, code, card, tile and labyrinth kind: the shark shooter, the
// colour code, the card pairs, the rotating tiles and the sliding labyrinth.

#include <array>

#include "model/labyrinth_game.h"
#include "model/mastermind_game.h"
#include "model/memory_game.h"
#include "model/model_compositor.h"
#include "model/model_types.h"
#include "model/rotation_tiles_game.h"
#include "model/same_bytes.h"
#include "model/shark_shooter_game.h"

namespace {

struct TSharkShooterRecord : TSceneRecord<CSharkShooterGame> {
  // The sharks are drawn from the values the whole record set.
  void Finish() { scene->SpawnSharks(); }
};

// The button and start positions go in after every other key, 0 where one is absent.
struct TMastermindRecord : TSceneRecord<CMastermindGame> {
  enum TPair { CheckButton, StartPegs, StartAnswerpegs, StartSlot, ResetButton, PairCount };
  std::array<std::array<int32_t, 2>, PairCount> positions{};
  void Finish() {
    scene->SetCheckButtonPosition(positions[CheckButton][0], positions[CheckButton][1]);
    scene->SetStartPositionPegs(positions[StartPegs][0], positions[StartPegs][1]);
    scene->SetStartPositionAnswerpegs(positions[StartAnswerpegs][0], positions[StartAnswerpegs][1]);
    scene->SetStartPositionSlot(positions[StartSlot][0], positions[StartSlot][1]);
    scene->SetResetButtonPosition(positions[ResetButton][0], positions[ResetButton][1]);
  }
};

// The cards' start place goes in after the walk, 0 for a coordinate the record lacks.
struct TMemoryRecord : TSceneRecord<CMemoryGame> {
  std::array<std::array<int32_t, 2>, 1> start{};
  void Finish() { scene->SetStartPositionCards(start[0][0], start[0][1]); }
};

// A pair record makes both cards: the id and name each with "A" for the first card and "B"
// for the second, the same image on both.
void ComposeMemoryPair(TMemoryRecord& record, TLuaTable& table) {
  auto first = std::make_unique<CMemoryPiece>();
  auto second = std::make_unique<CMemoryPiece>();
  WalkRecord(table, [&](const CRecordEntry& entry) {
    if (entry.Is("id")) {
      first->SetId(entry.String() + "A");
      second->SetId(entry.String() + "B");
    } else if (entry.Is("name")) {
      first->SetName(entry.String() + "A");
      second->SetName(entry.String() + "B");
    } else if (entry.Is("image")) {
      first->SetImage(entry.String());
      second->SetImage(entry.String());
    }
  });
  record.scene->AddPair(std::move(first), std::move(second));
}

// A tile record: its place goes in after the record, 0 for a coordinate it does not give.
void ComposeRotationTile(CRotationTilesGame& game, TLuaTable& table) {
  auto tile = std::make_unique<CRotationTile>();
  int32_t x = 0, y = 0;
  WalkRecord(table, [&](const CRecordEntry& entry) {
    if (entry.Is("id"))
      tile->SetId(entry.String());
    else if (entry.Is("status"))
      tile->SetStatus(entry.Whole());
    else if (entry.Is("image"))
      tile->SetImage(entry.String());
    else if (entry.Is("posX"))
      x = entry.Whole();
    else if (entry.Is("posY"))
      y = entry.Whole();
  });
  tile->SetPosition(x, y);
  game.AddTile(std::move(tile));
}

// The keys that blocks and tiles share; a block adds its flag, a tile its target.
CRecordRules<CLabyrinthField> LabyrinthPieceRules() {
  CRecordRules<CLabyrinthField> rules;
  rules.Key("id", &CLabyrinthField::SetId)
      .Key("path", &CLabyrinthField::SetPath)
      .Key("boxX", &CLabyrinthField::SetBoxX)
      .Key("boxY", &CLabyrinthField::SetBoxY);
  return rules;
}

std::unique_ptr<CLabyrinthField> ComposeLabyrinthPiece(TLuaTable& table, const CRecordRules<CLabyrinthField>& rules) {
  auto piece = std::make_unique<CLabyrinthField>();
  rules.Walk(*piece, table);
  return piece;
}

// A position gives its three list entries together, "" and 0 for what it lacks, so that the
// lists stay in step.
struct TLabyrinthPosition {
  TString id;
  int32_t boxX = 0;
  int32_t boxY = 0;
};

}  // namespace

std::unique_ptr<CScene> CModelCompositor::ComposeSharkShooterGame(TLuaTable& table) {
  using Record = TSharkShooterRecord;
  using Game = CSharkShooterGame;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("reloadTimeInMs", &Game::SetReloadTimeInMs)
        .Key("harpoonX", &Game::SetHarpoonX)
        .Key("harpoonY", &Game::SetHarpoonY)
        .Key("howManySharksMustDieForWinning", &Game::SetHowManySharksMustDieForWinning)
        .Key("harponShotSpeed", &Game::SetHarponShotSpeed)
        .Key("maxSharksOnScreen", &Game::SetMaxSharksOnScreen)
        .Key("lives", &Game::SetLives)
        .Key("gamemode",
             [](Record& record, const CRecordEntry& entry) {
               // Any other text leaves the mode as it is.
               TString mode = entry.String();
               if (SameBytes(mode, "sharkShooter"))
                 record.scene->SetGameMode(Game::SharkShooter);
               else if (SameBytes(mode, "avoidSharks"))
                 record.scene->SetGameMode(Game::AvoidSharks);
             })
        .Key("sharkStartSpeed", &Game::SetSharkStartSpeed)
        .Key("sharkEndSpeed", &Game::SetSharkEndSpeed)
        .Key("diverXpos", &Game::SetDiverXpos)
        .Key("countdown", &Game::SetCountdown)
        .Key("deadlineXpos", &Game::SetDeadlineXpos)
        .Key("sharkTexturePath", &Game::SetSharkTexturePath)
        .Key("diverTexturePath", &Game::SetDiverTexturePath)
        .Key("shotTexturePath", &Game::SetShotTexturePath)
        .Key("inactiveShotTexturePath", &Game::SetInactiveShotTexturePath)
        .Key("readyShotTexturePath", &Game::SetReadyShotTexturePath)
        .Key("interfaceBGTexturePath", &Game::SetInterfaceBGTexturePath)
        .Key("interfaceGreenTexturePath", &Game::SetInterfaceGreenTexturePath)
        .Key("interfaceInvisibleTexturePath", &Game::SetInterfaceInvisibleTexturePath)
        .Key("interfaceRedTexturePath", &Game::SetInterfaceRedTexturePath)
        .Key("interfacePipesTexturePath", &Game::SetInterfacePipesTexturePath)
        .Key("hitClickSound", &Game::SetHitClickSound)
        .Key("missClickSound", &Game::SetMissClickSound);
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}

std::unique_ptr<CScene> CModelCompositor::ComposeMastermindGame(TLuaTable& table) {
  using Record = TMastermindRecord;
  using Game = CMastermindGame;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("checkSoundFile", &Game::SetCheckSoundFile)
        .Key("wonSoundFile", &Game::SetWonSoundFile)
        .Key("resetSoundFile", &Game::SetResetSoundFile)
        .Key("gameColorsCount", &Game::SetGameColorsCount)
        .Key("checkbutton", &Game::SetCheckButton)
        .Key("peg", &Game::SetPeg)
        .Key("answerpeg", &Game::SetAnswerpeg)
        .Key("resetbutton", &Game::SetResetButton)
        .Key("distancePegs", &Game::SetDistancePegs)
        .Key("distanceAnswerpegs", &Game::SetDistanceAnswerpegs)
        .Key("distanceSlots", &Game::SetDistanceSlots)
        .Key("distanceRows", &Game::SetDistanceRows)
        .Key("rows", &Game::SetRows)
        .Nested(ModelMastermindAllColors, [](Record& record, TLuaTable& colors) {
          // Only the eight colour names count, in traversal order.
          WalkListValues(colors, [&](const CRecordEntry& entry) {
            TString color = entry.String();
            if (Game::IsColorName(color)) record.scene->AddColor(color);
          });
        });
    PlaceKeys(gameRules, "checkbuttonX", "checkbuttonY", &Record::positions, Record::CheckButton);
    PlaceKeys(gameRules, "startPositionPegsX", "startPositionPegsY", &Record::positions, Record::StartPegs);
    PlaceKeys(gameRules, "startPositionAnswerpegsX", "startPositionAnswerpegsY", &Record::positions,
              Record::StartAnswerpegs);
    PlaceKeys(gameRules, "startPositionSlotX", "startPositionSlotY", &Record::positions, Record::StartSlot);
    PlaceKeys(gameRules, "resetbuttonX", "resetbuttonY", &Record::positions, Record::ResetButton);
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}

std::unique_ptr<CScene> CModelCompositor::ComposeMemoryGame(TLuaTable& table) {
  using Record = TMemoryRecord;
  using Game = CMemoryGame;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("uncoverSound", &Game::SetUncoverSound)
        .Key("wonSound", &Game::SetWonSound)
        .Key("rightPairSound", &Game::SetRightPairSound)
        .Key("wrongPairSound", &Game::SetWrongPairSound)
        .Key("distanceCards", &Game::SetDistanceCards)
        .Key("cardBackside", &Game::SetCardBackside)
        .Key("timeTwoCardsUncoveredShown", &Game::SetTimeTwoCardsUncoveredShown)
        .Nested(ModelMemoryPair, ComposeMemoryPair);
    PlaceKeys(gameRules, "startPositionCardsX", "startPositionCardsY", &Record::start, 0);
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}

std::unique_ptr<CScene> CModelCompositor::ComposeRotationTilesGame(TLuaTable& table) {
  using Record = TSceneRecord<CRotationTilesGame>;
  using Game = CRotationTilesGame;
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("tilesFilepath", &Game::SetTilesFilepath)
        .Key("tilesCount", &Game::SetTilesCount)
        .Key("startPositionX", &Game::SetStartPositionX)
        .Key("startPositionY", &Game::SetStartPositionY)
        .Key("rotationSound", &Game::SetRotationSound)
        .Key("wonSound", &Game::SetWonSound)
        .Nested(ModelRotationTile, [](Record& record, TLuaTable& tile) { ComposeRotationTile(*record.scene, tile); });
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}

std::unique_ptr<CScene> CModelCompositor::ComposeLabyrinthGame(TLuaTable& table) {
  using Record = TSceneRecord<CLabyrinthGame>;
  using Game = CLabyrinthGame;
  static const CRecordRules<CLabyrinthField> fieldRules =
      LabyrinthPieceRules().Key("moveable", &CLabyrinthField::SetMoveable);
  static const CRecordRules<CLabyrinthField> tileRules =
      LabyrinthPieceRules().Key("endPosId", &CLabyrinthField::SetEndPosId);
  static const CRecordRules<TLabyrinthPosition> positionRules = [] {
    CRecordRules<TLabyrinthPosition> rules;
    rules.Field("id", &TLabyrinthPosition::id).Field("boxX", &TLabyrinthPosition::boxX).Field("boxY", &TLabyrinthPosition::boxY);
    return rules;
  }();
  static const CRecordRules<Record> rules = [] {
    CRecordRules<Record> gameRules;
    gameRules.Key("startPositionPlayingAreaX", &Game::SetStartPositionPlayingAreaX)
        .Key("startPositionPlayingAreaY", &Game::SetStartPositionPlayingAreaY)
        .Key("lengthOneBox", &Game::SetLengthOneBox)
        .Key("countBoxesXDirection", &Game::SetCountBoxesXDirection)
        .Key("countBoxesYDirection", &Game::SetCountBoxesYDirection)
        .Key("wonSound", &Game::SetWonSound)
        .Nested(ModelLabyrinthField,
                [](Record& record, TLuaTable& field) {
                  record.scene->AddField(ComposeLabyrinthPiece(field, fieldRules));
                })
        .Nested(ModelLabyrinthTile,
                [](Record& record, TLuaTable& tile) { record.scene->AddTile(ComposeLabyrinthPiece(tile, tileRules)); })
        .Nested(ModelLabyrinthStartEndPosition, [](Record& record, TLuaTable& table) {
          TLabyrinthPosition position;
          positionRules.Walk(position, table);
          record.scene->AddStartEndPosition(position.id, position.boxX, position.boxY);
        });
    return gameRules;
  }();
  return ComposeSceneRecord(table, rules);
}
