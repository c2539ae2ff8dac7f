#include "platform/settings.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/random.h>
#include <sys/socket.h>

#include <cstdio>
#include <cstring>

#include "platform/log.h"
#include "platform/xml_node.h"


namespace {

std::map<TString, TString>& Map() {
  static std::map<TString, TString> map;
  return map;
}

bool gLegacyLineWrap = false;
TSettingChangedHook gChangedHook;
TCheatCodeCheck gCheatCheck;

// The first non-loopback hardware address, padded to eight bytes.
bool ReadNetworkAddress(unsigned char out[8]) {
  struct ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool found = false;
  for (struct ifaddrs* it = list; it && !found; it = it->ifa_next) {
    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_PACKET || (it->ifa_flags & IFF_LOOPBACK)) continue;
    auto* link = reinterpret_cast<struct sockaddr_ll*>(it->ifa_addr);
    if (link->sll_halen == 0 || link->sll_halen > 8) continue;
    unsigned char address[8] = {};
    memcpy(address, link->sll_addr, link->sll_halen);
    bool zero = true;
    for (unsigned char b : address) zero = zero && b == 0;
    if (zero) continue;
    memcpy(out, address, 8);
    found = true;
  }
  freeifaddrs(list);
  return found;
}

bool ReadMachineId(unsigned char out[8]) {
  FILE* file = fopen("/etc/machine-id", "r");
  if (!file) return false;
  char hex[17] = {};
  bool ok = fread(hex, 1, 16, file) == 16;
  fclose(file);
  for (int i = 0; ok && i < 8; ++i) {
    unsigned value = 0;
    ok = sscanf(hex + 2 * i, "%2x", &value) == 1;
    out[i] = static_cast<unsigned char>(value);
  }
  return ok;
}

}  // namespace

void SetConfig(const TString& key, const TString& value) {
  Map()[key] = value;
  if (key == "encryptionkey" || key == "cheatcode") UpdateCheatMode();
  if (key == "legacylinewrap") gLegacyLineWrap = true;
  if (gChangedHook) gChangedHook(key, value);
}

TString GetConfig(const TString& key, const TString& def) {
  auto it = Map().find(key);
  return it == Map().end() ? def : it->second;
}

bool IsEnabled(const TString& key) { return GetConfig(key).ToInt() != 0; }

void ClearConfig() { Map().clear(); }

std::map<TString, TString> GetAllConfig() { return Map(); }

bool IsLegacyLineWrap() { return gLegacyLineWrap; }

void SetSettingChangedHook(TSettingChangedHook hook) { gChangedHook = std::move(hook); }

void SetCheatCodeCheck(TCheatCodeCheck check) { gCheatCheck = std::move(check); }

void UpdateCheatMode() {
  TString code = GetConfig("cheatcode");
  TString key = GetConfig("encryptionkey");
  if (code.IsEmpty() || key.IsEmpty()) return;
  bool match = gCheatCheck && gCheatCheck(code, key, GetConfig("computerid"));
  SetConfig("cheatmode", match ? "1" : "0");
}

TString MakeComputerIdFromAddress(const unsigned char address[8]) {
  unsigned char a[8];
  memcpy(a, address, 8);
  a[6] = a[3];
  a[7] = a[4];
  TString id;
  for (int i = 0; i < 8; ++i) {
    unsigned v = a[i] ^ a[(i + 1) % 8];
    id += char(64 + (v & 31));
    id += char(66 + i + (v >> 5));
  }
  return id;
}

TString MakeComputerId() {
  unsigned char address[8] = {};
  if (!ReadNetworkAddress(address) && !ReadMachineId(address)) {
    // No address at all: a new random id, as a fresh GUID would give.
    if (getrandom(address, sizeof address, 0) != sizeof address) memset(address, 0x5A, sizeof address);
  }
  return MakeComputerIdFromAddress(address);
}
bool LoadSettingsFile(const TString& name) {
  TXmlNode document;
  if (!document.LoadFile(name)) return false;
  TXmlNode* settings = document.GetChild("settings");
  if (!settings) {
    LogPrintf("%s holds no <settings> element; the settings stay as they were", name.c_str());
    return false;
  }
  settings->ResetChildIterator();
  TString key;
  TXmlNode* child = nullptr;
  while (settings->GetNextChild(key, child)) SetConfig(key, child->GetText());
  return true;
}
