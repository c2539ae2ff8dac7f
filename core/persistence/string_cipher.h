#pragma once
// TStringCipher: enciphers the user data kept on disk (preference values, the highscore
// file) under the key text of the setting "encryptionkey". ECB blocks with a whole-buffer
// padding, optionally in base64 text form. Deterministic: the same input under the same
// key gives the same bytes, which the preferences rely on for their install keys.
// Not thread-safe: one instance per user and thread.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/engine_string.h"

class TBlowfish;

class TStringCipher {
 public:
  // Only the first 9 characters of the key text matter (see the constructor).
  explicit TStringCipher(const TString& key);
  ~TStringCipher();
  TStringCipher(const TStringCipher&) = delete;
  TStringCipher& operator=(const TStringCipher&) = delete;

  // Both answer 0 after writing the result into output when outputSize is big enough,
  // else the size needed (writing nothing and keeping the last length). With asText the
  // encipherment gives base64 text and a NUL (counted), and the decipherment reads base64.
  // A decipherment asks for the whole-block size; its real length is GetLastLength, 0 when
  // the padding is bad.
  int Encrypt(const void* input, int inputLength, void* output, int outputSize, bool asText);
  int Decrypt(const void* input, int inputLength, void* output, int outputSize, bool asText);
  int GetLastLength() const { return mLastLength; }

  // The size query and the call in one, on raw bytes (asText false): the whole result.
  std::string EncryptBytes(const void* input, int inputLength);
  std::string DecryptBytes(const void* input, int inputLength);

  // The text and its NUL enciphered, as base64 text.
  TString EncryptString(const TString& text);
  // The deciphered bytes up to the first NUL; empty when they do not decipher.
  TString DecryptString(const TString& text);

  // The 9 key bytes a key text prepares to (exposed for tests).
  static void PrepareKey(const TString& key, uint8_t bytes[9]);

 private:
  std::unique_ptr<TBlowfish> mBlowfish;
  int mLastLength = 0;
};
