// The save of a full game and its load back into the model, on one core. The game is the
// demo's: both levels made by assets/scripts/newgame.lua, then played as far as the model
// can tell: every scene visited, every hidden object found, every item in the inventory,
// every flag the demo's scripts name set, and a diary page for each scene. Saving is what
// the settings object does for the player (the game's and the flags' texts and the diary
// into the preferences database, committed to disk); loading is what selecting the player
// does (the texts run on a new model, the diary read back). Prints the best and the median
// milliseconds of each over the runs, and the size of what is saved.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "flow/game_defaults.h"
#include "model/diary.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/hidden_object_game.h"
#include "model/highscore_system.h"
#include "model/model_compositor.h"
#include "model/model_services.h"
#include "one_core.h"
#include "persistence/prefs_db.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "script/script.h"

namespace fs = std::filesystem;

namespace {

constexpr int Runs = 50;

// The diary's room for text: a fixed line height, so that the pages fill as the game's do.
class TFixedMeasure : public IDiaryMeasure {
 public:
  int32_t GetTextHeight(const TString& text, const TString&, int32_t fontSize, int32_t width) override {
    int32_t perLine = std::max<int32_t>(1, width / std::max<int32_t>(1, fontSize / 2));
    return (int32_t(text.ToStd().size()) / perLine + 1) * fontSize;
  }
  bool GetImageSize(const TString&, int32_t& width, int32_t& height) override {
    width = height = 64;
    return true;
  }
};

// Every flag name in the demo's scripts ("GetGlobalBool("x")", "SetGlobalBool("x", ...)").
std::set<std::string> ScriptFlags(const fs::path& scripts) {
  std::set<std::string> flags;
  const std::regex call(R"((?:Get|Set)GlobalBool\(\s*"([^"]+)\")");
  for (const auto& entry : fs::recursive_directory_iterator(scripts)) {
    if (entry.path().extension() != ".lua") continue;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    std::string body = text.str();
    for (std::sregex_iterator it(body.begin(), body.end(), call), end; it != end; ++it) flags.insert((*it)[1]);
  }
  return flags;
}

// The model as far through the demo as it goes: see the head of the file.
void Play(const fs::path& assets) {
  CGame& game = *CGame::GetInstance();
  CGlobalInformationSystem& globals = *CGlobalInformationSystem::GetInstance();
  TDiary& diary = *TDiary::GetInstance();
  const TDiaryValues textValues = {0, -1, -1, 0, 0, 1000}, endValues = {0, -1, -1, -1, -1, 1000};
  for (const auto& [levelId, level] : game.GetLevels()) {
    diary.InsertContentAtSite(DiaryText, "KAPITEL_" + TString(std::to_string(levelId)), TRect(0, 0, 300, 40), 30,
                              "fonts/default_bold.mvec", textValues);
    for (const auto& [seqId, ignored] : level->GetScenes()) {
      game.SetCurrentScene(seqId);
      CScene* scene = game.FindScene(seqId);
      if (auto* hidden = dynamic_cast<CHiddenObjectGame*>(scene))
        for (const auto& object : hidden->GetHiddenObjects()) hidden->SetObjectVisible(object->GetId(), false);
      std::string id = std::to_string(seqId);
      globals.SetGlobalBool(TString("besucht_" + id), true);
      globals.SetGlobalNumber(TString("zeit_" + id), seqId % 977 * 1.5);
      diary.InsertContentAtSite(DiaryText, TString("SZENE_" + id), TRect(0, 0, 300, 40), 30,
                                "fonts/default_bold.mvec", textValues);
      diary.InsertContentAtSite(DiaryText, TString("TEXT_" + id), TRect(0, 0, 300, 200), 24, "fonts/default.mvec",
                                textValues);
      diary.InsertContentAtSite(DiarySiteEnd, "", TRect(), 30, "", endValues);
    }
  }
  for (const auto& [name, item] : game.GetInventoryItems()) game.AddInventoryItem(TString(name));
  for (const std::string& flag : ScriptFlags(assets / "scripts")) globals.SetGlobalBool(TString(flag), true);
}

struct TSaved {
  std::string game, state;
};

TSaved Save(TPrefsDB& db) {
  TSaved saved;
  CGame::GetInstance()->Serialize(saved.game);
  CGlobalInformationSystem::GetInstance()->Serialize(saved.state);
  db.SetString("gamedata", TString(saved.game), 0, false);
  db.SetString("gamestate", TString(saved.state), 0, false);
  TDiary::GetInstance()->SaveValues(db, 0);
  db.Commit();
  return saved;
}

bool Load(TPrefsDB& db, TScript& script) {
  TString game = db.GetString("gamedata", "", 0), state = db.GetString("gamestate", "", 0);
  // As a player's selection does: the score settings come back with the game's text.
  CHighscoreSystem::CreateInstance();
  CModelCompositor::Recreate();
  CGame::DestroyInstance();
  CGame::CreateInstance();
  CGlobalInformationSystem::DestroyInstance();
  CGlobalInformationSystem::CreateInstance();
  bool loaded = script.DoLuaString(game) && script.DoLuaString(state);
  CModelCompositor::Destroy();
  TDiary::GetInstance()->LoadValues(db, 0);
  return loaded;
}

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Print(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%-10s best %.3f ms, median %.3f ms\n", what, times.front(), times[times.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: save_load_bench ASSET_FOLDER\n");
    return 2;
  }
  RunOnOneCore();
  fs::path assets = fs::absolute(argv[1]);
  char pattern[] = "/tmp/tarvelon-save-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  fs::path root = pattern;
  fs::create_directories(root / "user" / "common");
  OpenLogFile((root / "log").c_str());

  SetGameDefaults();
  LoadSettingsFile(TString("::") + (assets / "settings.xml").string());
  SetConfig("installkey", root.string() + "/");
  SetDataFolders((root / "user").string(), (root / "user" / "common").string(), "");
  SetAssetFolder(assets.string());
  ScanAssetFolder(assets.string(), "");
  int status = 1;
  {
    TScript script;
    SetModelScript(&script);
    TPrefsDB db(false);
    db.SetString("name", "Mara", 0);
    SetPlayerPrefsSource([&db] { return TPlayerPrefs{&db, 0}; });
    SetDiaryMeasure(std::make_unique<TFixedMeasure>());
    CHighscoreSystem::CreateInstance();
    CGlobalInformationSystem::CreateInstance();
    ApplyDiarySettings(*TDiary::CreateInstance());
    CGame::CreateInstance();
    CModelCompositor::Recreate();
    bool made = script.RunScript("scripts/newgame.lua");
    CModelCompositor::Destroy();
    if (made && CGame::GetInstance()->GetLevels().size() == 2) {
      Play(assets);
      TSaved first = Save(db);
      std::vector<double> saves, loads;
      bool same = true;
      for (int run = 0; run < Runs && same; ++run) {
        auto start = std::chrono::steady_clock::now();
        TSaved saved = Save(db);
        auto saveEnd = std::chrono::steady_clock::now();
        same = Load(db, script);
        auto loadEnd = std::chrono::steady_clock::now();
        saves.push_back(Ms(saveEnd - start));
        loads.push_back(Ms(loadEnd - saveEnd));
        same = same && saved.game == first.game && saved.state == first.state;
      }
      if (same) {
        std::vector<double> both;
        for (size_t i = 0; i < saves.size(); ++i) both.push_back(saves[i] + loads[i]);
        std::printf("saved game: %zu bytes, flags %zu bytes, diary entries %u\n", first.game.size(),
                    first.state.size(), TDiary::GetInstance()->GetNumberOfContent());
        Print("save", saves);
        Print("load", loads);
        Print("save+load", both);
        status = 0;
      } else {
        std::fprintf(stderr, "save_load_bench: the game loaded back does not save the same text\n");
      }
    } else {
      std::fprintf(stderr, "save_load_bench: %s/scripts/newgame.lua does not make the demo's two levels\n",
                   assets.c_str());
    }
    CGame::DestroyInstance();
    CGlobalInformationSystem::DestroyInstance();
    TDiary::DestroyInstance();
    CHighscoreSystem::DestroyInstance();
    SetPlayerPrefsSource(nullptr);
    SetModelScript(nullptr);
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return status;
}
