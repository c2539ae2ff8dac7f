#pragma once
// TProfilesWindow: the window of the player-profile dialog, created by its window script
// ("ProfilesWindow"), which builds the profile slots and the controls around them and
// creates, chooses and deletes players through the settings functions. The window hands the
// script the names of the existing players (through the script's "UpdatePlayerChoices") and
// tells it which slot is selected. The slots are its descendants "button0", "button1" ...
// below the setting "pWMaxProfiles", toggle buttons; slot i shows player i.

#include <memory>

#include "scenes/window_binding.h"
#include "windows/window.h"

class TProfilesWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // Binds "SetPlayerChoices", "GetCurrentSelectedUser" and "GetSelectedPlayerName".
  TProfilesWindow();

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TProfilesWindow>(); }

  const char* GetClassName() const override { return "TProfilesWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // After the children: the choices are filled once.
  void PostCreate(TWindowStyle& style) override;

  // Runs "UpdatePlayerChoices(current, count, {names})" in the script: the current player's
  // index (-1: none), the number of players, and the names of the first players that the
  // dialog shows, each a quoted Lua string.
  void SetPlayerChoices();
  // The lowest slot whose button is toggled on; 0 when none is.
  int32_t GetCurrentSelectedUser();
  TString GetSelectedPlayerName();

  // The chunk SetPlayerChoices runs.
  static TString MakeChoicesChunk();

 private:
  TWindowBinding mBinding{this};
};
