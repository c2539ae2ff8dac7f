#include "persistence/string_cipher.h"

#include <cstring>
#include <string>
#include <vector>

#include "persistence/blowfish.h"
#include "persistence/text_codec.h"

namespace {

constexpr int BlockSize = 8;
constexpr int KeyTextLength = 12;
constexpr int KeyBytes = 9;

int RoundUpToBlock(int n) { return (n + BlockSize - 1) / BlockSize * BlockSize; }

}  // namespace

void TStringCipher::PrepareKey(const TString& key, uint8_t bytes[9]) {
  // Short keys are filled with "A" (zero bits), long ones cut; the last three characters
  // are always "AAA", so 12 characters decode to the 9 bytes the schedule takes.
  std::string text = key.ToStd();
  if (text.size() != size_t(KeyTextLength)) text = (text + "AAAAAAAAAAAA").substr(0, KeyTextLength);
  text = text.substr(0, KeyBytes) + "AAA";
  uint8_t decoded[KeyBytes];
  Base64Decode(text.data(), text.size(), decoded);
  memcpy(bytes, decoded, KeyBytes);
}

TStringCipher::TStringCipher(const TString& key) {
  uint8_t bytes[KeyBytes];
  PrepareKey(key, bytes);
  mBlowfish = std::make_unique<TBlowfish>(bytes, KeyBytes);
}

TStringCipher::~TStringCipher() = default;

int TStringCipher::Encrypt(const void* input, int inputLength, void* output, int outputSize, bool asText) {
  if (inputLength < 0) inputLength = 0;
  int pad = BlockSize - inputLength % BlockSize;
  int blocksLength = inputLength + pad;
  int resultLength = asText ? int(Base64EncodedLength(size_t(blocksLength))) + 1 : blocksLength;
  if (!output || outputSize < resultLength) return resultLength;

  std::vector<uint8_t> data(static_cast<size_t>(blocksLength), static_cast<uint8_t>(pad));
  if (inputLength) memcpy(data.data(), input, size_t(inputLength));
  for (int at = 0; at < blocksLength; at += BlockSize) mBlowfish->EncipherBlock(data.data() + at);
  if (asText) {
    std::string text = Base64Encode(data.data(), data.size());
    memcpy(output, text.c_str(), text.size() + 1);
  } else {
    memcpy(output, data.data(), data.size());
  }
  mLastLength = resultLength;
  return 0;
}

int TStringCipher::Decrypt(const void* input, int inputLength, void* output, int outputSize, bool asText) {
  if (inputLength < 0) inputLength = 0;
  int dataLength = asText ? int(Base64DecodedBound(size_t(inputLength))) : inputLength;
  int blocksLength = RoundUpToBlock(dataLength);
  if (!output || outputSize < blocksLength) return blocksLength;

  // The decoder may count fewer bytes than its bound; the rest stays zero like the fill.
  std::vector<uint8_t> data(static_cast<size_t>(blocksLength), 0);
  int n = inputLength;
  if (asText)
    n = int(Base64Decode(static_cast<const char*>(input), size_t(inputLength), data.data()));
  else if (inputLength)
    memcpy(data.data(), input, size_t(inputLength));
  n = RoundUpToBlock(n);
  for (int at = 0; at < n; at += BlockSize) mBlowfish->DecipherBlock(data.data() + at);

  int length = 0;
  if (n > 0) {
    auto last = int8_t(data[size_t(n - 1)]);
    length = n - last;
    if (length < 0 || length > n) length = 0;
  }
  memcpy(output, data.data(), size_t(length));
  mLastLength = length;
  return 0;
}

std::string TStringCipher::EncryptBytes(const void* input, int inputLength) {
  int needed = Encrypt(input, inputLength, nullptr, 0, false);
  std::string out(static_cast<size_t>(needed), '\0');
  Encrypt(input, inputLength, out.data(), needed, false);
  return out;
}

std::string TStringCipher::DecryptBytes(const void* input, int inputLength) {
  // As large as the cipher asks: data that is no whole number of blocks is filled up.
  int needed = Decrypt(input, inputLength, nullptr, 0, false);
  std::string out(static_cast<size_t>(needed), '\0');
  Decrypt(input, inputLength, out.data(), needed, false);
  out.resize(static_cast<size_t>(mLastLength));
  return out;
}

TString TStringCipher::EncryptString(const TString& text) {
  int needed = Encrypt(text.c_str(), int(text.Length()) + 1, nullptr, 0, true);
  std::vector<char> buffer(static_cast<size_t>(needed));
  Encrypt(text.c_str(), int(text.Length()) + 1, buffer.data(), needed, true);
  return TString(buffer.data());
}

TString TStringCipher::DecryptString(const TString& text) {
  int needed = Decrypt(text.c_str(), int(text.Length()), nullptr, 0, true);
  if (needed <= 0) return TString();
  std::vector<char> buffer(static_cast<size_t>(needed));
  Decrypt(text.c_str(), int(text.Length()), buffer.data(), needed, true);
  size_t length = size_t(mLastLength);
  size_t end = 0;
  while (end < length && buffer[end]) ++end;
  return TString(buffer.data(), end);
}
