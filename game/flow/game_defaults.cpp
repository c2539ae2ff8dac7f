#include "flow/game_defaults.h"

#include "graphics/renderer.h"
#include "platform/settings.h"

namespace {

const char* const GameHandle = "tarvelon-nebeltal";
const char* const ModeNames[2] = {"tarvelon-nebeltal-abenteuer", "tarvelon-nebeltal-entspannt"};
const char* const MedalNames[2] = {"tarvelon-nebeltal-spuernase", "tarvelon-nebeltal-nebelwanderer"};

// The preferences database and the highscore file are enciphered under it.
const char* const EncryptionKey = "tauwerkeNBLT";

}  // namespace

void SetGameDefaults() {
  SetConfig("mac_fix_common_and_user_dirs", "1");
  SetConfig("lpsonescript", "1");
  SetConfig("publisher", "Tarvelon");
  SetConfig("buildtag", "V. 1.0");
  SetConfig("version", "V. 1.0");
  SetConfig("fixbuttonmask", "1");
  SetConfig("utf8mode", "1");
  SetConfig("verbosedebug", "0");
  SetConfig("largevramusage", "1");
  SetConfig("hittestchildren", "1");
  SetConfig("encryptionkey", EncryptionKey);
  SetConfig("jxgamehandle", GameHandle);
  for (int i = 0; i < 2; i++) SetConfig(TString::Printf("%s%d", "jxgamemodename", i + 1), ModeNames[i]);
  for (int i = 0; i < 2; i++) SetConfig(TString::Printf("%s%d", "jxgamemedalname", i + 1), MedalNames[i]);
}

void SetRendererDefaults() {
  TRenderer* renderer = TRenderer::GetInstance();
  if (!renderer) return;
  for (const char* option : {"new_subtractive", "new_render_blend", "texture_rectangle", "mac_use_hw_cursors"})
    renderer->SetOption(option, "1");
}

TString GetGameModeTableName(int32_t mode) {
  if (mode == -1) return GameHandle;
  return mode == 0 || mode == 1 ? ModeNames[mode] : "";
}

TString GetGameMedalName(int32_t index) { return index == 0 || index == 1 ? MedalNames[index] : ""; }
