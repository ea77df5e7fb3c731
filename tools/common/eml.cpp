#include "common/eml.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "codec/code_page.h"
#include "common/utf8.h"

namespace parvel::tools {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kMaxLine = 998;            // RFC 5322
constexpr std::size_t kQpLineLimit = 76;         // RFC 2045, soft break included
constexpr std::size_t kEncodedWordPayload = 54;  // "Subject: " + word within 76

constexpr char kHex[] = "0123456789ABCDEF";

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return lower;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return -1;
}

std::string Escape(unsigned char byte) { return {'=', kHex[byte >> 4], kHex[byte & 0xF]}; }

// RFC 2047 encoded words (UTF-8, Q encoding) unless the text is plain ASCII.
std::string EncodeHeaderText(std::wstring_view text) {
  const bool plain =
      text.size() < 900 &&
      std::all_of(text.begin(), text.end(), [](wchar_t ch) { return ch >= 0x20 && ch < 0x7F; }) &&
      text.find(L"=?") == std::wstring_view::npos;
  if (plain) return WideToUtf8(text);
  const std::string utf8 = WideToUtf8(text);
  std::vector<std::string> words(1);
  for (std::size_t i = 0; i < utf8.size();) {
    // Keep each UTF-8 sequence inside one word.
    std::size_t length = 1;
    while (i + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[i + length]) & 0xC0) == 0x80) {
      ++length;
    }
    std::string piece;
    for (std::size_t j = i; j < i + length; ++j) {
      const auto byte = static_cast<unsigned char>(utf8[j]);
      if (byte == ' ') {
        piece += '_';
      } else if (std::isalnum(byte) != 0 || std::string_view("!*+-/").find(static_cast<char>(
                                                byte)) != std::string_view::npos) {
        piece += static_cast<char>(byte);
      } else {
        piece += Escape(byte);
      }
    }
    if (words.back().size() + piece.size() > kEncodedWordPayload) words.emplace_back();
    words.back() += piece;
    i += length;
  }
  std::string header;
  for (const std::string& word : words) {
    if (!header.empty()) header += "\r\n ";
    header += "=?utf-8?Q?" + word + "?=";
  }
  return header;
}

// Lines short enough for 8bit transfer and no lone CR or LF: the message can be
// read as it stands in a text editor.
bool FitsEightBit(std::string_view bytes) {
  std::size_t line = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && bytes.substr(i, 2) == kCrLf) {
      line = 0;
      ++i;
    } else if (bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\0' || ++line > kMaxLine) {
      return false;
    }
  }
  return true;
}

std::string QuotedPrintable(std::string_view bytes) {
  std::string out;
  std::size_t line = 0;
  const auto emit = [&](std::string_view token) {
    if (line + token.size() > kQpLineLimit - 1) {
      out += "=\r\n";
      line = 0;
    }
    out += token;
    line += token.size();
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const bool at_line_end = i + 1 == bytes.size() || bytes.substr(i + 1, 2) == kCrLf;
    if (byte == '\r' && bytes.substr(i, 2) == kCrLf) {
      out += kCrLf;
      line = 0;
      ++i;
    } else if (((byte == ' ' || byte == '\t') && !at_line_end) ||
               (byte >= 33 && byte <= 126 && byte != '=')) {
      // Blanks stay as they are except at a line's end, where mail may drop them.
      emit(std::string(1, static_cast<char>(byte)));
    } else {
      emit(Escape(byte));
    }
  }
  // A soft break as the last line: the body itself ends without a line end.
  out += "=\r\n";
  return out;
}

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '=') {
      if (text.substr(i + 1, 2) == kCrLf) {
        i += 2;
      } else if (text.substr(i + 1, 1) == "\n") {
        i += 1;
      } else if (i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
        out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
        i += 2;
      } else if (i + 1 == text.size()) {
        // A lone '=' closing the text is a soft break without its line end.
      } else {
        throw EmlError("malformed quoted-printable text");
      }
    } else if (ch == '\n' && (out.empty() || out.back() != '\r')) {
      out += kCrLf;
    } else {
      out += ch;
    }
  }
  return out;
}

std::wstring DecodeHeaderText(std::string_view value) {
  std::wstring out;
  std::size_t pos = 0;
  bool previous_was_word = false;
  while (pos < value.size()) {
    const auto start = value.find("=?", pos);
    const auto Plain = [&](std::string_view text) {
      // Blanks between two encoded words are not part of the text.
      if (previous_was_word && Trim(text).empty()) return;
      out += Utf8ToWide(text);
    };
    if (start == std::string_view::npos) {
      Plain(value.substr(pos));
      break;
    }
    const auto charset_end = value.find('?', start + 2);
    const auto encoding_end =
        charset_end == std::string_view::npos ? charset_end : value.find('?', charset_end + 1);
    const auto end =
        encoding_end == std::string_view::npos ? encoding_end : value.find("?=", encoding_end + 1);
    if (end == std::string_view::npos ||
        Lower(value.substr(charset_end + 1, encoding_end - charset_end - 1)) != "q") {
      Plain(value.substr(pos));
      break;
    }
    Plain(value.substr(pos, start - pos));
    std::string bytes;
    const std::string_view payload = value.substr(encoding_end + 1, end - encoding_end - 1);
    for (std::size_t i = 0; i < payload.size(); ++i) {
      if (payload[i] == '_') {
        bytes += ' ';
      } else if (payload[i] == '=' && i + 2 < payload.size() && HexValue(payload[i + 1]) >= 0 &&
                 HexValue(payload[i + 2]) >= 0) {
        bytes += static_cast<char>(HexValue(payload[i + 1]) * 16 + HexValue(payload[i + 2]));
        i += 2;
      } else {
        bytes += payload[i];
      }
    }
    const std::string charset = Lower(value.substr(start + 2, charset_end - start - 2));
    out += charset == "utf-8" ? Utf8ToWide(bytes) : Windows1252CodePage().FromBytes(bytes);
    previous_was_word = true;
    pos = end + 2;
  }
  return out;
}

struct Headers {
  std::vector<std::pair<std::string, std::string>> fields;  // lower-case name, value

  std::optional<std::string> Get(std::string_view name) const {
    for (const auto& [field, value] : fields) {
      if (field == name) return value;
    }
    return std::nullopt;
  }
};

// Splits at the first empty line; nullopt when the bytes have no header block.
std::optional<std::pair<Headers, std::string_view>> SplitMessage(std::string_view bytes) {
  Headers headers;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    auto end = bytes.find('\n', pos);
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = end + 1;
    if (line.empty()) return std::make_pair(headers, bytes.substr(pos));
    if (line.front() == ' ' || line.front() == '\t') {
      if (headers.fields.empty()) return std::nullopt;
      headers.fields.back().second += std::string(line);
      continue;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0 ||
        line.substr(0, colon).find_first_of(" \t") != std::string_view::npos) {
      return std::nullopt;
    }
    headers.fields.emplace_back(Lower(line.substr(0, colon)), Trim(line.substr(colon + 1)));
  }
  return std::nullopt;
}

std::string Parameter(std::string_view header, std::string_view name) {
  const std::string lower = Lower(header);
  const auto at = lower.find(std::string(name) + "=");
  if (at == std::string::npos) return {};
  std::string value(header.substr(at + name.size() + 1));
  value = value.substr(0, value.find(';'));
  value = Trim(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return Lower(value);
}

}  // namespace

std::string WriteEml(std::wstring_view to, std::wstring_view subject, std::wstring_view body) {
  if (to.find_first_of(L"\r\n") != std::wstring_view::npos) {
    throw EmlError("the address holds a line break");
  }
  std::string message;
  message += "To: " + WideToUtf8(to) + std::string(kCrLf);
  message += "Subject: " + EncodeHeaderText(subject) + std::string(kCrLf);
  message += "MIME-Version: 1.0\r\n";
  message += "Content-Type: text/plain; charset=windows-1252\r\n";
  const std::string bytes = Windows1252CodePage().ToBytes(body);
  if (FitsEightBit(bytes)) {
    message += "Content-Transfer-Encoding: 8bit\r\n";
    message += kCrLf;
    message += bytes;
  } else {
    message += "Content-Transfer-Encoding: quoted-printable\r\n";
    message += kCrLf;
    message += QuotedPrintable(bytes);
  }
  return message;
}

bool LooksLikeEml(std::string_view bytes) {
  const auto split = SplitMessage(bytes);
  if (!split) return false;
  const Headers& headers = split->first;
  return headers.Get("mime-version") || headers.Get("subject") || headers.Get("content-type");
}

MailText ReadEml(std::string_view message) {
  const auto split = SplitMessage(message);
  if (!split) throw EmlError("not a mail message: no header block");
  const auto& [headers, raw_body] = *split;

  const std::string encoding = Lower(headers.Get("content-transfer-encoding").value_or("7bit"));
  std::string body;
  if (encoding == "quoted-printable") {
    body = DecodeQuotedPrintable(raw_body);
  } else if (encoding == "7bit" || encoding == "8bit" || encoding == "binary") {
    body = std::string(raw_body);
  } else {
    throw EmlError("unsupported transfer encoding: " + encoding);
  }

  const std::string type = headers.Get("content-type").value_or("text/plain");
  std::string charset = Parameter(type, "charset");
  if (charset.empty()) charset = "us-ascii";

  MailText mail;
  if (charset == "utf-8") {
    mail.body = Utf8ToWide(body);
  } else if (charset == "windows-1252" || charset == "iso-8859-1" || charset == "us-ascii") {
    mail.body = Windows1252CodePage().FromBytes(body);
  } else {
    throw EmlError("unsupported character set: " + charset);
  }
  mail.to = Utf8ToWide(headers.Get("to").value_or(""));
  mail.subject = DecodeHeaderText(headers.Get("subject").value_or(""));
  return mail;
}

}  // namespace parvel::tools
