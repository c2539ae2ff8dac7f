#include "persistence/cheat_code.h"

#include <cstring>

#include "persistence/string_cipher.h"
#include "platform/settings.h"

bool IsCheatCodeForMachine(const TString& cheatCode, const TString& encryptionKey, const TString& computerId) {
  if (computerId.IsEmpty()) return false;
  TStringCipher cipher(encryptionKey);
  // Bytes, not the collation order: a code must match exactly.
  return strcmp(cipher.DecryptString(cheatCode).c_str(), computerId.c_str()) == 0;
}

void InstallCheatCodeCheck() { SetCheatCodeCheck(&IsCheatCodeForMachine); }
