// The mini-games of arcade, code, card, tile and labyrinth kind: the shark shooter, the
// colour code, the card pairs, the rotating tiles and the sliding labyrinth.

#include "model/model_compositor.h"
#include "model/model_types.h"
#include "model/same_bytes.h"
#include "model/shark_shooter_game.h"

namespace {

struct TSharkShooterRecord : TSceneRecord<CSharkShooterGame> {
  // The sharks are drawn from the values the whole record set.
  void Finish() { scene->SpawnSharks(); }
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
