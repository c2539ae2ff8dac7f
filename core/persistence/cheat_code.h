#pragma once
// The cheat-mode check of the settings map, built on the string cipher: a cheat code is
// this machine's computer id enciphered under the game's key, as EncryptString makes it.

#include "platform/engine_string.h"

bool IsCheatCodeForMachine(const TString& cheatCode, const TString& encryptionKey, const TString& computerId);
// Installs the check into the settings map; start-up calls it before the settings are read.
void InstallCheatCodeCheck();
