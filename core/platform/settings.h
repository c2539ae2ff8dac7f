#pragma once
// The settings map: one process-wide map from key to value (both TString, keys
// case-sensitive) holding the game's defaults, "settings.xml", the command line and
// the engine's own values. Main thread only.

#include <functional>
#include <map>

#include "platform/engine_string.h"

void SetConfig(const TString& key, const TString& value);
// The stored value (an empty one included), or def when the key is absent. Never inserts.
TString GetConfig(const TString& key, const TString& def = TString());
// The value read as an integer is not zero: "1", "-1", "01" are enabled; "0", "", "yes" not.
bool IsEnabled(const TString& key);
// Empties the map (teardown and tests). The legacy line-wrap flag stays as it is.
void ClearConfig();
// A copy of the whole map, in key order.
std::map<TString, TString> GetAllConfig();

// Set once "legacylinewrap" has been stored, whatever its value; never cleared.
bool IsLegacyLineWrap();

// Reads "settings.xml"-style files: every child element of the root "settings" becomes a
// key (element name) and value (its text), stored in document order. A missing file or
// element is no error; answers whether the file held a "settings" element.
bool LoadSettingsFile(const TString& name);

// Seams filled by later subsystems.
// The platform's reaction to a changed setting ("vsync", "viewportscale" take effect at once).
using TSettingChangedHook = std::function<void(const TString& key, const TString& value)>;
void SetSettingChangedHook(TSettingChangedHook hook);
// The cheat-code check built on the string cipher: answers whether cheatCode is this
// machine's code for the key and computer id. Without it no code enables cheat mode.
using TCheatCodeCheck = std::function<bool(const TString& cheatCode, const TString& encryptionKey,
                                           const TString& computerId)>;
void SetCheatCodeCheck(TCheatCodeCheck check);

// Sets "cheatmode" to "1" or "0" when both "cheatcode" and "encryptionkey" are set;
// otherwise leaves it unchanged. SetConfig calls it for either key.
void UpdateCheatMode();

// The 16-character computer id built from the machine's first network address.
TString MakeComputerId();
// The id for eight address bytes (exposed for tests).
TString MakeComputerIdFromAddress(const unsigned char address[8]);
