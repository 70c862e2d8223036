#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "strings/blowfish.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& hex) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return out;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

// The cipher's published test vectors (key, plain text, cipher text), and the two of its
// designer's own examples with text keys.
TEST(Blowfish, PublishedVectors) {
  struct {
    std::string key, plain, cipher;
  } vectors[] = {
      {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
      {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
      {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
      {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
      {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
      {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
      {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
      {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
      {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
      {Hex({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u',
            'v', 'w', 'x', 'y', 'z'}),
       Hex({'B', 'L', 'O', 'W', 'F', 'I', 'S', 'H'}), "324ED0FEF413A203"},
      {Hex({'W', 'h', 'o', ' ', 'i', 's', ' ', 'J', 'o', 'h', 'n', ' ', 'G', 'a', 'l', 't', '?'}), "FEDCBA9876543210",
       "CC91732B8022F684"},
  };
  for (const auto& v : vectors) {
    std::vector<uint8_t> key = Bytes(v.key);
    vorn::BlowfishCipher cipher;
    ASSERT_TRUE(cipher.SetKey(key.data(), static_cast<int32_t>(key.size())));
    std::vector<uint8_t> block = Bytes(v.plain);
    cipher.EncipherBlocks(block.data(), 1);
    EXPECT_EQ(Hex(block), v.cipher) << "key " << v.key;
    cipher.DecipherBlocks(block.data(), 1);
    EXPECT_EQ(Hex(block), v.plain) << "key " << v.key;
  }
}

TEST(Blowfish, EmptyKeyIsRefusedAndKeepsTheSchedule) {
  vorn::BlowfishCipher cipher;
  uint8_t key = 0x42;
  ASSERT_TRUE(cipher.SetKey(&key, 1));
  uint32_t l = 1, r = 2;
  cipher.Encipher(l, r);
  EXPECT_FALSE(cipher.SetKey(&key, 0));
  EXPECT_FALSE(cipher.SetKey(nullptr, 5));
  uint32_t l2 = 1, r2 = 2;
  cipher.Encipher(l2, r2);
  EXPECT_EQ(l, l2);
  EXPECT_EQ(r, r2);
}

}  // namespace
