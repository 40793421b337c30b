#include "model/Cp1251.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "model/SCable.h"

using namespace tolmira;

namespace {

// The system's converter as the reference; false when it rejects the input.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }

  bool convert(const std::string& in, std::string* out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buf[64];
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return false;
    if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return false;
    out->assign(buf, static_cast<std::size_t>(dst - buf));
    return true;
  }

 private:
  iconv_t cd;
};

std::string utf8(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

}  // namespace

TEST(Cp1251, EveryByteDecodesLikeIconv) {
  Iconv ref("UTF-8", "CP1251");
  ASSERT_TRUE(ref.ok());
  int unassigned = 0;
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    std::string expected;
    if (!ref.convert(byte, &expected)) {
      expected = utf8(0xFFFD);
      ++unassigned;
      EXPECT_EQ(0x98, b);
    }
    EXPECT_EQ(expected, cp1251ToUtf8(byte)) << "byte " << b;
  }
  EXPECT_EQ(1, unassigned);
}

TEST(Cp1251, EveryCodePointEncodesLikeIconv) {
  Iconv ref("CP1251", "UTF-8");
  ASSERT_TRUE(ref.ok());
  int held = 0;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string in = utf8(cp);
    std::string expected;
    if (ref.convert(in, &expected) && !expected.empty()) {
      ++held;
    } else {
      // glibc silently drops the tag characters; we mark them like any other.
      if (ref.convert(in, &expected)) {
        EXPECT_TRUE(cp >= 0xE0000 && cp <= 0xE007F) << std::hex << static_cast<unsigned>(cp);
      }
      expected = "?";
    }
    const std::string got = utf8ToCp1251(in);
    if (got != expected) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(cp);
      break;
    }
  }
  EXPECT_EQ(255, held);  // every byte but 0x98
}

TEST(Cp1251, RoundTripOfEveryAssignedByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    if (b != 0x98) all += static_cast<char>(b);
  }
  EXPECT_EQ(all, utf8ToCp1251(cp1251ToUtf8(all)));
  EXPECT_EQ("?", utf8ToCp1251(cp1251ToUtf8("\x98")));
}

struct MalformedCase {
  const char* what;
  std::string in;
  std::string expected;
};

class Cp1251Malformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(Cp1251Malformed, BecomesQuestionMarks) {
  EXPECT_EQ(GetParam().expected, utf8ToCp1251(GetParam().in)) << GetParam().what;
}

// One '?' per maximal invalid subsequence; the text after it survives.
INSTANTIATE_TEST_SUITE_P(
    Utf8, Cp1251Malformed,
    ::testing::Values(MalformedCase{"stray continuation",
                                    "A\x80"
                                    "B",
                                    "A?B"},
                      MalformedCase{"overlong slash", "\xC0\xAF", "??"},
                      MalformedCase{"overlong three bytes", "\xE0\x80\xAF", "???"},
                      MalformedCase{"surrogate", "\xED\xA0\x80", "???"},
                      MalformedCase{"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
                      MalformedCase{"truncated at end", "A\xD0", "A?"},
                      MalformedCase{"truncated before ASCII",
                                    "\xE2\x82"
                                    "A",
                                    "?A"},
                      MalformedCase{"invalid lead", "\xFF\xFE", "??"},
                      MalformedCase{"NUL kept", std::string("A\0B", 3), std::string("A\0B", 3)},
                      MalformedCase{
                          "Cyrillic",
                          "\xD0\x9A\xD0\xB0\xD0\xB1\xD0\xB5\xD0\xBB\xD1\x8C \xD1\x91\xC2\xB0",
                          "\xCA\xE0\xE1\xE5\xEB\xFC \xB8\xB0"}));

TEST(Cp1251, UnheldCharacterBecomesUnderscoreInAName) {
  // A☺B: the smiley has no Windows-1251 byte.
  const std::string bytes = utf8ToCp1251(
      "A\xE2\x98\xBA"
      "B");
  EXPECT_EQ("A?B", bytes);
  char name[SCable::kNameSize];
  EXPECT_FALSE(SCable::sanitizeName(name, bytes.c_str()));
  EXPECT_STREQ("A_B", name);
}
