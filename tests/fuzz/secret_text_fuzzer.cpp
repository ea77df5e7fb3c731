#include "codec/secret_text.h"
#include "fuzz_support.h"

namespace {

// The hexadecimal letters of a text moved to the other case.
std::wstring HexLetters(std::wstring text, wchar_t from, wchar_t to) {
  for (wchar_t& ch : text) {
    if (ch >= from && ch < from + 6) ch = static_cast<wchar_t>(to + (ch - from));
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace parvel;
  const Windows1252CodePage code_page;
  const std::string bytes = fuzz::Bytes(data, size);

  const std::wstring hex = fuzz::Text(bytes);
  try {
    const std::wstring plain = DecodeSecretText(hex, code_page);
    // Every byte has its own character in this code page, so whatever
    // deciphers enciphers back to the same digits, in upper case.
    PARVEL_FUZZ_CHECK(plain.size() * 2 == hex.size());
    PARVEL_FUZZ_CHECK(EncodeSecretText(plain, code_page) == HexLetters(hex, L'a', L'A'));
  } catch (const SecretTextError& error) {
    PARVEL_FUZZ_CHECK(error.position() <= hex.size());
  }

  // The other way round, over texts whose characters all exist in the code page.
  const std::wstring plain = code_page.FromBytes(bytes);
  std::wstring enciphered;
  try {
    enciphered = EncodeSecretText(plain, code_page);
  } catch (const SecretTextError& error) {
    PARVEL_FUZZ_CHECK(error.kind() == SecretTextErrorKind::InvalidArgument);
    PARVEL_FUZZ_CHECK(error.position() < bytes.size());
    PARVEL_FUZZ_CHECK(
        !IsEncodableAt(static_cast<unsigned char>(bytes[error.position()]), error.position()));
    return 0;
  }
  PARVEL_FUZZ_CHECK(enciphered.size() == 2 * plain.size());
  // The empty text enciphers to nothing, which is too short to decipher.
  if (plain.empty()) return 0;
  PARVEL_FUZZ_CHECK(DecodeSecretText(enciphered, code_page) == plain);
  PARVEL_FUZZ_CHECK(DecodeSecretText(HexLetters(enciphered, L'A', L'a'), code_page) == plain);
  return 0;
}
