#include "workflows/send_problem_text.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <string_view>
#include <vector>

#include "codec/plain_text.h"
#include "host/diagnostics.h"
#include "host/host_error.h"

namespace parvel {
namespace {

constexpr std::wstring_view kCrLf = L"\r\n";
constexpr std::wstring_view kUnsupportedIntro =
    L"These characters cannot be sent through the SMS gateway:";
constexpr std::wstring_view kUnsupportedClosing =
    L"Nothing has been sent. Please replace or remove these characters and try again...";
constexpr std::wstring_view kPasswordNotShown = L"characters not shown";
constexpr std::wstring_view kSendFailedIntro = L"Outlook could not submit the SMS message:";
constexpr std::wstring_view kSendFailedClosing =
    L"Your recipients and message have been kept so that you can try again...";
constexpr std::wstring_view kUnknownFailure = L"An unknown error occurred.";

std::wstring Quoted(std::wstring_view value) { return L"\"" + RemoveCrLf(value) + L"\""; }

std::wstring RecipientPlace(std::size_t row, std::wstring_view what, std::wstring_view value) {
  return L"Recipient " + std::to_wstring(row + 1) + L"'s " + std::wstring(what) + L" " +
         Quoted(value);
}

const RecipientEntry& RowAt(std::span<const RecipientEntry> rows, std::size_t row) {
  static const RecipientEntry kNone;
  return row < rows.size() ? rows[row] : kNone;
}

std::wstring PlaceName(const RefusedCharacter& refused, std::span<const RecipientEntry> rows) {
  switch (refused.field) {
    case RequestField::Fixed:
    case RequestField::Label:
      break;
    case RequestField::Account:
      return L"The account";
    case RequestField::Password:
      return L"The password";
    case RequestField::DelayedSend:
      return L"The delayed-send time";
    case RequestField::Mobile:
      return RecipientPlace(refused.row, L"number", RowAt(rows, refused.row).mobile);
    case RequestField::Message:
      return L"The message";
  }
  return L"The request";
}

struct Place {
  RequestField field;
  std::size_t row;
  std::wstring name;
  std::vector<std::wstring> characters;
};

// Host texts from the system often end with a line break of their own.
std::wstring Trimmed(std::wstring text) {
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.pop_back();
  }
  return text;
}

std::wstring FailureReason(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const host::HostError& error) {
    std::wstring text = Trimmed(error.message());
    return text.empty() ? L"Error " + host::HresultText(error.hresult()) + L"." : text;
  } catch (const std::exception& error) {
    std::wstring text = host::FailureText(error);
    return text.empty() ? std::wstring(kUnknownFailure) : Trimmed(std::move(text));
  } catch (...) {
    return std::wstring(kUnknownFailure);
  }
}

// Spaces other than the plain one, controls and format characters: a
// list of them would look empty, so each is named by its code.
bool Invisible(std::wstring_view character) {
  if (character.size() != 1) return false;
  const wchar_t c = character[0];
  return c < 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || c == 0x61C || c == 0x1680 ||
         c == 0x180E || (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) ||
         (c >= 0x205F && c <= 0x206F) || c == 0x3000 || c == 0xFEFF;
}

std::wstring Shown(const std::wstring& character) {
  if (!Invisible(character)) return character;
  wchar_t code[8];
  std::swprintf(code, std::size(code), L"U+%04X", static_cast<unsigned>(character[0]));
  return code;
}

}  // namespace

std::wstring JoinedCharacters(std::span<const std::wstring> characters) {
  std::wstring text;
  for (const std::wstring& character : characters) {
    if (!text.empty()) text.push_back(L' ');
    text.append(Shown(character));
  }
  return text;
}

std::wstring DescribeRefusedCharacters(std::span<const RefusedCharacter> refused,
                                       std::span<const RecipientEntry> rows) {
  std::vector<Place> places;
  for (const RefusedCharacter& character : refused) {
    auto place = std::find_if(places.begin(), places.end(), [&](const Place& known) {
      return known.field == character.field && known.row == character.row;
    });
    if (place == places.end()) {
      place = places.insert(places.end(),
                            {character.field, character.row, PlaceName(character, rows), {}});
    }
    if (std::find(place->characters.begin(), place->characters.end(), character.character) ==
        place->characters.end()) {
      place->characters.push_back(character.character);
    }
  }

  std::wstring text(kUnsupportedIntro);
  text.append(kCrLf);
  for (const Place& place : places) {
    text.append(kCrLf).append(place.name).append(L": ");
    if (place.field == RequestField::Password) {
      text.append(kPasswordNotShown);
      continue;
    }
    text.append(JoinedCharacters(place.characters));
  }
  text.append(kCrLf).append(kCrLf).append(kUnsupportedClosing);
  return text;
}

std::wstring DescribeSendFailure(const std::exception_ptr& failure) {
  std::wstring text(kSendFailedIntro);
  text.append(kCrLf).append(kCrLf).append(FailureReason(failure));
  text.append(kCrLf).append(kCrLf).append(kSendFailedClosing);
  return text;
}

}  // namespace parvel
