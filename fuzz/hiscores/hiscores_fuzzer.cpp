// The highscore store's start-up read of "user:hiscore.dat" on arbitrary bytes, through
// the file layer from memory: once the bytes as the file, once the bytes as the file's
// text, enciphered and checksummed here the way the store writes it, so the text reader
// is reached too. Each loaded store is then queried, added to and thinned out (without
// saving).
//   corpus: fuzz/hiscores/corpus (tests/fixtures/persistence/hiscore_v1.dat and score texts)

#include <cstddef>
#include <cstdint>
#include <string>

#include "persistence/jx_hiscores.h"
#include "persistence/string_cipher.h"
#include "platform/file_map.h"
#include "platform/settings.h"

namespace {

// The key of the fixture file.
const char* const Key = "TarvelonKey1";

std::string FileOfText(const uint8_t* data, size_t size) {
  TStringCipher cipher(Key);
  std::string text(reinterpret_cast<const char*>(data), size);
  text += '\0';
  std::string image = cipher.EncryptBytes(text.data(), int(text.size()));
  uint8_t sum[4] = {};
  for (size_t i = 0; i < image.size(); ++i) sum[i % 4] ^= uint8_t(image[i]);
  return image + cipher.EncryptBytes(sum, 4);
}

void Exercise(const void* file, size_t size) {
  RegisterMemoryFile("user:hiscore.dat", file, size);
  {
    TJxHiscores store(false);
    for (const char* player : {"Anna", ""}) {
      store.SetInfoString(1, player);
      store.SetInfoString(2, "Tarvelon");
      char name[16], data[16];
      for (int i = 0; i < store.GetScoreCount(true); ++i)
        store.GetScore(true, i, nullptr, name, sizeof name, nullptr, nullptr, data, sizeof data);
      TString medal, mode, medalData;
      int kind;
      for (int i = 0; i < store.GetMedalCount(); ++i) store.GetMedal(i, &medal, &kind, &mode, &medalData);
      store.CountUnsubmittedMedals();
    }
    store.AddScore(5000, true, "fuzz");
    store.RemovePlayer("Anna");
  }
  RegisterMemoryFile("user:hiscore.dat", nullptr, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool configured = [] {
    SetConfig("encryptionkey", Key);
    return true;
  }();
  (void)configured;
  Exercise(data, size);
  std::string image = FileOfText(data, size);
  Exercise(image.data(), image.size());
  return 0;
}
