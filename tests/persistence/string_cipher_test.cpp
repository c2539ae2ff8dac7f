#include "persistence/string_cipher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "persistence/blowfish.h"
#include "persistence/cheat_code.h"
#include "persistence/persistence_test_util.h"
#include "persistence/text_codec.h"
#include "platform/settings.h"

namespace {

std::string EncryptBytes(TStringCipher& cipher, const std::string& plain, bool asText) {
  int needed = cipher.Encrypt(plain.data(), int(plain.size()), nullptr, 0, asText);
  std::string out(size_t(needed), '\0');
  EXPECT_EQ(cipher.Encrypt(plain.data(), int(plain.size()), out.data(), needed, asText), 0);
  EXPECT_EQ(cipher.GetLastLength(), needed);
  return out;
}

std::string DecryptBytes(TStringCipher& cipher, const std::string& data, bool asText) {
  int needed = cipher.Decrypt(data.data(), int(data.size()), nullptr, 0, asText);
  std::string out(size_t(needed), '\0');
  EXPECT_EQ(cipher.Decrypt(data.data(), int(data.size()), out.data(), needed, asText), 0);
  out.resize(size_t(cipher.GetLastLength()));
  return out;
}

}  // namespace

// Published vectors of the block cipher, 8-byte keys and the 9- and 10-byte keys of the
// variable-key-length set.
TEST(BlowfishTest, MatchesReferenceVectors) {
  struct {
    const char* key;
    const char* plain;
    const char* cipher;
  } cases[] = {
      {"0000000000000000", "0000000000000000", "4ef997456198dd78"},
      {"ffffffffffffffff", "ffffffffffffffff", "51866fd5b85ecb8a"},
      {"3000000000000000", "1000000000000001", "7d856f9a613063f2"},
      {"1111111111111111", "1111111111111111", "2466dd878b963c9d"},
      {"0123456789abcdef", "1111111111111111", "61f9c3802281b096"},
      {"fedcba9876543210", "0123456789abcdef", "0aceab0fc6a0a28d"},
      {"7ca110454a1a6e57", "01a1d6d039776742", "59c68245eb05282b"},
      {"f0e1d2c3b4a5968778", "fedcba9876543210", "15750e7a4f4ec577"},
      {"f0e1d2c3b4a596877869", "fedcba9876543210", "122ba70b3ab64ae0"},
  };
  for (const auto& c : cases) {
    std::string key = FromHex(c.key), block = FromHex(c.plain);
    TBlowfish blowfish(reinterpret_cast<const uint8_t*>(key.data()), key.size());
    blowfish.EncipherBlock(reinterpret_cast<uint8_t*>(block.data()));
    EXPECT_EQ(Hex(block), c.cipher) << c.key;
    blowfish.DecipherBlock(reinterpret_cast<uint8_t*>(block.data()));
    EXPECT_EQ(Hex(block), c.plain) << c.key;
  }
}

TEST(StringCipherTest, KeyTextPreparesToNineBytes) {
  uint8_t expected[9], bytes[9];
  TStringCipher::PrepareKey("TarvelonKey1", expected);
  EXPECT_EQ(Hex(expected, 9), "4daaef7a5a27280000");
  // Only the first nine characters count, whatever the length.
  for (const char* key : {"TarvelonKAAA", "TarvelonK", "TarvelonKxyz", "TarvelonKey1-and-more"}) {
    TStringCipher::PrepareKey(key, bytes);
    EXPECT_EQ(Hex(bytes, 9), Hex(expected, 9)) << key;
  }
  TStringCipher::PrepareKey("abc", expected);
  for (const char* key : {"abcAAAAAAAAA", "abcAAAAAAxyz"}) {
    TStringCipher::PrepareKey(key, bytes);
    EXPECT_EQ(Hex(bytes, 9), Hex(expected, 9)) << key;
  }
  TStringCipher::PrepareKey("", bytes);
  EXPECT_EQ(Hex(bytes, 9), "000000000000000000");
}

// Expected bytes come from an independent implementation of the cipher under the same
// prepared key.
TEST(StringCipherTest, PadsWholeBufferAndMatchesReference) {
  TStringCipher cipher(TestKey);
  struct {
    std::string plain;
    const char* cipherHex;
  } cases[] = {
      {std::string("Anna\0", 5), "cc1f963a12af411a"},
      {"", "6e4b6107a86f25d1"},  // a whole block of pad bytes 8
      {"ABCDEFGH", "8f34d2e4820a713c6e4b6107a86f25d1"},
  };
  for (const auto& c : cases) {
    std::string out = EncryptBytes(cipher, c.plain, false);
    EXPECT_EQ(Hex(out), c.cipherHex);
    EXPECT_EQ(DecryptBytes(cipher, out, false), c.plain);
  }
  TStringCipher empty("");
  EXPECT_EQ(Hex(EncryptBytes(empty, std::string("Anna\0", 5), false)), "04b598cfe4cc03f0");
}

TEST(StringCipherTest, StringsAsBase64Text) {
  TStringCipher cipher(TestKey);
  EXPECT_EQ(cipher.EncryptString("").ToStd(), "dG95iX6Us4Q=");
  EXPECT_EQ(cipher.EncryptString("hello world").ToStd(), "K0G8nmE6uGyelADzDYK/Zg==");
  EXPECT_EQ(cipher.DecryptString("K0G8nmE6uGyelADzDYK/Zg==").ToStd(), "hello world");
  EXPECT_EQ(cipher.DecryptString("").ToStd(), "");
  // The text form counts its NUL.
  std::string text = EncryptBytes(cipher, "hello world", true);
  EXPECT_EQ(text.size(), 25u);
  EXPECT_EQ(text.back(), '\0');
  EXPECT_EQ(DecryptBytes(cipher, text.substr(0, 24), true), "hello world");
  // Another key does not decipher it.
  TStringCipher other("SomeOtherKey");
  EXPECT_NE(other.DecryptString("K0G8nmE6uGyelADzDYK/Zg==").ToStd(), "hello world");
}

TEST(StringCipherTest, SizeQueryWritesNothing) {
  TStringCipher cipher(TestKey);
  EncryptBytes(cipher, "abc", false);
  ASSERT_EQ(cipher.GetLastLength(), 8);
  char buffer[32];
  memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(cipher.Encrypt("12345678", 8, nullptr, 0, false), 16);
  EXPECT_EQ(cipher.Encrypt("12345678", 8, buffer, 15, false), 16);
  EXPECT_EQ(cipher.Encrypt("12345678", 8, buffer, 24, true), 25);
  EXPECT_EQ(cipher.Decrypt(buffer, 16, buffer, 15, false), 16);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(cipher.GetLastLength(), 8);
}

TEST(StringCipherTest, BadPaddingGivesEmptyResult) {
  TStringCipher cipher(TestKey);
  uint8_t key[9];
  TStringCipher::PrepareKey(TestKey, key);
  TBlowfish same(key, 9);
  struct {
    uint8_t last;
    int length;
  } cases[] = {{1, 7}, {8, 0}, {0, 8}, {9, 0}, {0x80, 0}, {0xFF, 0}};
  for (const auto& c : cases) {
    uint8_t block[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', c.last};
    same.EncipherBlock(block);
    std::string plain = DecryptBytes(cipher, std::string(reinterpret_cast<char*>(block), 8), false);
    EXPECT_EQ(int(plain.size()), c.length) << int(c.last);
  }
  // A length that is no whole block is filled up with zero bytes before deciphering.
  EXPECT_EQ(cipher.Decrypt("abcde", 5, nullptr, 0, false), 8);
}

TEST(TextCodecTest, Base64Rules) {
  struct {
    const char* text;
    const char* bytesHex;
  } cases[] = {
      {"QUJD", "414243"},
      {"QUI=", "4142"},
      {"QQ==", "41"},
      {"QQ", "41"},       // filled up with "="
      {"QUI", "4142"},
      {"Q=JD", "400243"},   // "=" inside a group is zero bits and shortens nothing
      {"*QJD", "fd0243"},   // outside the alphabet: all bits set
      {"\x80QJD", "fd0243"},
      {"QQ==QUJD", "41414243"},  // the next group starts on the unused bytes
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    std::vector<uint8_t> out(Base64DecodedBound(text.size()));
    size_t n = Base64Decode(text.data(), text.size(), out.data());
    EXPECT_EQ(Hex(out.data(), n), c.bytesHex) << c.text;
  }
  EXPECT_EQ(Base64DecodedBound(2), 3u);
  EXPECT_EQ(Base64Encode(reinterpret_cast<const uint8_t*>("A"), 1), "QQ==");
  EXPECT_EQ(Base64Encode(reinterpret_cast<const uint8_t*>("AB"), 2), "QUI=");
  EXPECT_EQ(Base64Encode(reinterpret_cast<const uint8_t*>("ABC"), 3), "QUJD");
}

TEST(CheatCodeTest, MatchesOnlyThisMachinesCode) {
  TPersistenceSandbox sandbox;
  TStringCipher cipher(TestKey);
  // The code is the computer id under the game key.
  TString code = cipher.EncryptString("ABCDEFGHIJKLMNOP");
  EXPECT_EQ(code.ToStd(), "jzTS5IIKcTwnVNph8U3P+HRveYl+lLOE");
  SetConfig("computerid", "ABCDEFGHIJKLMNOP");
  InstallCheatCodeCheck();
  SetConfig("cheatcode", code);
  EXPECT_EQ(GetConfig("cheatmode").ToStd(), "1");
  SetConfig("cheatcode", cipher.EncryptString("ABCDEFGHIJKLMNOQ"));
  EXPECT_EQ(GetConfig("cheatmode").ToStd(), "0");
  SetConfig("cheatcode", "garbage");
  EXPECT_EQ(GetConfig("cheatmode").ToStd(), "0");
  SetConfig("cheatcode", code);
  SetConfig("encryptionkey", "AnotherKey99");
  EXPECT_EQ(GetConfig("cheatmode").ToStd(), "0");
  EXPECT_FALSE(IsCheatCodeForMachine(cipher.EncryptString(""), TestKey, ""));
}
