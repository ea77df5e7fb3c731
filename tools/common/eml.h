#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace parvel::tools {

class EmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An RFC 5322 message with a text/plain body in windows-1252: 8bit when every
// line fits, else quoted-printable so that a long hexadecimal line and any lone
// CR or LF travel unchanged. Either way the body's last line has no line end.
// Throws EmlError for an address holding a line break.
std::string WriteEml(std::wstring_view to, std::wstring_view subject, std::wstring_view body);

struct MailText {
  std::wstring to;
  std::wstring subject;
  std::wstring body;
};

// Reads a message as WriteEml writes it (other plain-text messages in
// windows-1252, ISO-8859-1, US-ASCII or UTF-8, 7bit, 8bit or quoted-printable,
// are read as well). Throws EmlError when it is not such a message.
MailText ReadEml(std::string_view message);

// Whether the bytes start with a header block rather than a bare body.
bool LooksLikeEml(std::string_view bytes);

}  // namespace parvel::tools
