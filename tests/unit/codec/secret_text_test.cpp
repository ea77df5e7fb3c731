#include "codec/secret_text.h"

#include <gtest/gtest.h>

#include <string>

namespace parvel {
namespace {

SecretTextError DecodeFailure(std::wstring_view hex) {
  try {
    DecodeSecretText(hex);
  } catch (const SecretTextError& error) {
    return error;
  }
  ADD_FAILURE() << "decoding did not fail";
  return SecretTextError(SecretTextErrorKind::InvalidArgument, 0, "none");
}

TEST(SecretText, KnownAnswers) {
  EXPECT_EQ(EncodeSecretText(L""), L"");
  // 'a'+'m' = 206, 'b'+'r' = 212, 'c'+'4' = 151
  EXPECT_EQ(EncodeSecretText(L"abc"), L"CED497");
  // CR and LF are enciphered like any character: 13+'m' = 122, 10+'r' = 124
  EXPECT_EQ(EncodeSecretText(L"\r\n"), L"7A7C");
  EXPECT_EQ(DecodeSecretText(L"CED497"), L"abc");
  EXPECT_EQ(DecodeSecretText(L"ced497"), L"abc");
  // A byte equal to its key character decodes to code 0.
  EXPECT_EQ(DecodeSecretText(L"6D"), std::wstring(1, L'\0'));
  // Characters outside the code page count as question marks.
  EXPECT_EQ(EncodeSecretText(L"\u0100\u4E2D"), EncodeSecretText(L"??"));
}

TEST(SecretText, KeyRepeatsAfterThirtyTwoCharacters) {
  const std::wstring plain(40, L'x');
  const std::wstring hex = EncodeSecretText(plain);
  ASSERT_EQ(hex.size(), 80U);
  EXPECT_EQ(hex.substr(64, 16), hex.substr(0, 16));
  EXPECT_NE(hex.substr(62, 2), hex.substr(0, 2)) << "position 32 uses the key's 32nd character";
  EXPECT_EQ(hex.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos);
  EXPECT_EQ(EncodeSecretText(plain), hex);
}

TEST(SecretText, EveryAsciiTextRoundTrips) {
  std::wstring ascii;
  for (wchar_t ch = 0; ch < 128; ++ch) ascii.push_back(ch);
  const std::wstring all = ascii + ascii + ascii;
  const std::wstring hex = EncodeSecretText(all);
  EXPECT_EQ(hex.size(), 2 * all.size());
  EXPECT_EQ(DecodeSecretText(hex), all);
}

TEST(SecretText, HighCharactersDependOnTheirKeyPosition) {
  // The en dash is byte 150: beside the digit '2' (key position 9) it fits,
  // beside 't' (position 4) it passes 255.
  const std::wstring dash(1, L'\u2013');
  EXPECT_EQ(DecodeSecretText(EncodeSecretText(L"12345678" + dash)), L"12345678" + dash);
  try {
    EncodeSecretText(L"abc" + dash);
    FAIL() << "byte 150 beside 't' must be refused";
  } catch (const SecretTextError& error) {
    EXPECT_EQ(error.kind(), SecretTextErrorKind::InvalidArgument);
    EXPECT_EQ(error.position(), 3U);
  }
  // The euro sign (byte 128) fits everywhere.
  const std::wstring euros(33, L'\u20AC');
  EXPECT_EQ(DecodeSecretText(EncodeSecretText(euros)), euros);
}

TEST(SecretText, ACodePlusItsKeyCodeOf255IsTheLastThatPasses) {
  // Key position 1 is 'm' (109): "’" (146) makes 255 and must round-trip,
  // "“" (147) makes 256 and is refused.
  const std::wstring apostrophe = L"\u2019";
  EXPECT_EQ(EncodeSecretText(apostrophe, Windows1252CodePage()), L"FF");
  EXPECT_EQ(DecodeSecretText(L"FF", Windows1252CodePage()), apostrophe);
  EXPECT_TRUE(IsEncodableAt(146, 0));
  EXPECT_FALSE(IsEncodableAt(147, 0));
  EXPECT_THROW(EncodeSecretText(L"\u201C", Windows1252CodePage()), SecretTextError);
  // 'z' (122) is the highest key character: byte 133 passes beside every one.
  EXPECT_EQ(kAlwaysEncodableByte, 133U);
  for (std::size_t index = 0; index < kSecretKeyCycle; ++index) {
    EXPECT_TRUE(IsEncodableAt(133, index)) << index;
  }
  EXPECT_FALSE(IsEncodableAt(134, SecretTextKey.find('z')));
}

TEST(SecretText, DecodeRefusesMalformedText) {
  EXPECT_EQ(DecodeFailure(L"").kind(), SecretTextErrorKind::IndexOutOfRange);
  EXPECT_EQ(DecodeFailure(L"C").kind(), SecretTextErrorKind::IndexOutOfRange);
  const SecretTextError odd = DecodeFailure(L"CED49");
  EXPECT_EQ(odd.kind(), SecretTextErrorKind::IndexOutOfRange);
  EXPECT_EQ(odd.position(), 4U);
  const SecretTextError letters = DecodeFailure(L"CED4G7");
  EXPECT_EQ(letters.kind(), SecretTextErrorKind::TypeMismatch);
  EXPECT_EQ(letters.position(), 4U);
  EXPECT_EQ(DecodeFailure(L"CE D4").kind(), SecretTextErrorKind::TypeMismatch);
  // Every pair is read before the key is taken off: a bad digit later on wins
  // over a byte below its key earlier on.
  EXPECT_EQ(DecodeFailure(L"00ZZ").kind(), SecretTextErrorKind::TypeMismatch);
  const SecretTextError below = DecodeFailure(L"CE00");
  EXPECT_EQ(below.kind(), SecretTextErrorKind::InvalidArgument);
  EXPECT_EQ(below.position(), 2U);
}

}  // namespace
}  // namespace parvel
