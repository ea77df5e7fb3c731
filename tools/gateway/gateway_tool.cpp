#include "gateway/gateway_tool.h"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "codec/secret_text.h"
#include "common/eml.h"
#include "common/utf8.h"
#include "request/gateway_request.h"

namespace parvel::tools {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr const char* kUsage =
    "usage: parvel-gateway encode | decode | build [--eml] FILE | read FILE (FILE may be -)";

std::string ReadInput(const std::string& file, std::istream& in) {
  if (file == "-") {
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::ifstream stream(file, std::ios::binary);
  if (!stream) throw ToolError("cannot open " + file);
  std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
  if (stream.bad()) throw ToolError("cannot read " + file);
  return bytes;
}

std::string WithoutOneNewline(std::string text) {
  if (text.ends_with("\r\n")) {
    text.resize(text.size() - 2);
  } else if (text.ends_with('\n')) {
    text.pop_back();
  }
  return text;
}

std::wstring Field(const json& object, const char* name) {
  const auto it = object.find(name);
  if (it == object.end()) throw ToolError(std::string("missing field \"") + name + "\"");
  if (!it->is_string()) throw ToolError(std::string("field \"") + name + "\" must be a text");
  return Utf8ToWide(it->get_ref<const std::string&>());
}

std::string Describe(const RefusedCharacter& refused) {
  std::string where;
  switch (refused.field) {
    case RequestField::Account:
      where = "the account";
      break;
    case RequestField::Password:
      where = "the password";
      break;
    case RequestField::DelayedSend:
      where = "the delayed-send date";
      break;
    case RequestField::Mobile:
      where = "the mobile of recipient " + std::to_string(refused.row + 1);
      break;
    case RequestField::Message:
      where = "the message";
      break;
    case RequestField::Fixed:
    case RequestField::Label:
      where = "a fixed line";
      break;
  }
  return "'" + WideToUtf8(refused.character) + "' in " + where;
}

GatewayRequest BuildFromJson(const std::string& bytes) {
  const json doc = json::parse(bytes);
  if (!doc.is_object()) throw ToolError("the request must be a JSON object");

  AccountSettings settings;
  settings.account = Field(doc, "account");
  settings.password = Field(doc, "password");
  settings.name_prefix = Field(doc, "namePrefix");
  settings.mail_address = Field(doc, "mailAddress");
  const std::wstring user_name = Field(doc, "userName");
  const std::wstring message = Field(doc, "message");

  std::optional<LocalDateTime> delayed_send;
  if (const auto it = doc.find("delayedSend"); it != doc.end() && !it->is_null()) {
    if (!it->is_string()) throw ToolError("field \"delayedSend\" must be a text or null");
    try {
      delayed_send = ParseDelayedSendText(Utf8ToWide(it->get_ref<const std::string&>()));
    } catch (const DelayedSendParseError& error) {
      throw ToolError(std::string("delayedSend is not a valid date and time: ") + error.what());
    }
  }

  const auto recipients = doc.find("recipients");
  if (recipients == doc.end()) throw ToolError("missing field \"recipients\"");
  if (!recipients->is_array()) throw ToolError("field \"recipients\" must be an array");
  std::vector<RecipientEntry> rows;
  for (const json& recipient : *recipients) {
    if (!recipient.is_object()) throw ToolError("each recipient must be a JSON object");
    RecipientEntry row;
    row.name = Field(recipient, "name");
    row.mobile = Field(recipient, "mobile");
    if (recipient.contains("kind")) {
      const std::optional<RecipientEntry::Kind> kind = KindFromText(Field(recipient, "kind"));
      if (!kind) throw ToolError("field \"kind\" must be \"Envelope\" or \"Distribution\"");
      row.kind = *kind;
    }
    rows.push_back(std::move(row));
  }

  try {
    return BuildGatewayRequest({.settings = settings,
                                .user_name = user_name,
                                .delayed_send = delayed_send,
                                .rows = rows,
                                .message = message});
  } catch (const RequestEncodingError& error) {
    std::string text = "characters that cannot be enciphered:";
    for (const RefusedCharacter& refused : error.refused()) text += " " + Describe(refused) + ";";
    text.pop_back();
    throw ToolError(text);
  }
}

std::string Build(std::span<const std::string> args, std::istream& in) {
  bool eml = false;
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (arg == "--eml") {
      eml = true;
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 1) throw ToolError(kUsage);
  const GatewayRequest request = BuildFromJson(ReadInput(files.front(), in));
  if (eml) return WriteEml(request.to_address, request.subject, request.body);
  const ordered_json result = {{"to", WideToUtf8(request.to_address)},
                               {"subject", WideToUtf8(request.subject)},
                               {"body", WideToUtf8(request.body)}};
  return result.dump(2) + "\n";
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  const std::wstring_view separator = text.find(L"\r\n") != std::wstring::npos ? L"\r\n" : L"\n";
  std::vector<std::wstring> lines;
  std::size_t pos = 0;
  while (true) {
    const auto end = text.find(separator, pos);
    lines.push_back(text.substr(pos, end - pos));
    if (end == std::wstring::npos) break;
    pos = end + separator.size();
  }
  return lines;
}

std::string Read(const std::string& bytes) {
  std::wstring body;
  if (LooksLikeEml(bytes)) {
    body = ReadEml(bytes).body;
  } else {
    body = IsValidUtf8(bytes) ? Utf8ToWide(bytes) : Windows1252CodePage().FromBytes(bytes);
  }
  const std::vector<std::wstring> lines = SplitLines(body);
  std::size_t start = 0;
  while (start < lines.size() && lines[start] != kStartMarker) ++start;
  if (start == lines.size()) throw ToolError("no \"=====Start Qel encryption======\" line");
  if (start + 2 >= lines.size() || lines[start + 2] != kEndMarker) {
    throw ToolError("no \"=====End Qel encryption======\" line after the enciphered line");
  }
  const std::wstring section = DecodeSecretText(lines[start + 1]);
  if (!section.ends_with(L"\r\n")) throw ToolError("the section does not end with a line end");

  ordered_json result = {{"visible", ordered_json::array()}, {"section", ordered_json::array()}};
  for (std::size_t i = 0; i < start; ++i) result["visible"].push_back(WideToUtf8(lines[i]));
  std::size_t pos = 0;
  while (pos < section.size()) {
    const auto end = section.find(L"\r\n", pos);
    const std::wstring line = section.substr(pos, end - pos);
    const auto assign = line.find(L":=");
    if (!line.starts_with(L"SMS-") || assign == std::wstring::npos) {
      throw ToolError("the section holds a line that is not an SMS- key: " + WideToUtf8(line));
    }
    result["section"].push_back({{"key", WideToUtf8(line.substr(0, assign))},
                                 {"value", WideToUtf8(line.substr(assign + 2))}});
    pos = end + 2;
  }
  return result.dump(2) + "\n";
}

std::string Run(std::span<const std::string> args, std::istream& in) {
  if (args.empty()) throw ToolError(kUsage);
  const std::string& command = args.front();
  const auto rest = args.subspan(1);
  if (command == "encode" && rest.empty()) {
    return WideToUtf8(EncodeSecretText(Utf8ToWide(WithoutOneNewline(ReadInput("-", in))))) + "\n";
  }
  if (command == "decode" && rest.empty()) {
    return WideToUtf8(DecodeSecretText(Utf8ToWide(WithoutOneNewline(ReadInput("-", in))))) + "\n";
  }
  if (command == "build") return Build(rest, in);
  if (command == "read" && rest.size() == 1) return Read(ReadInput(rest.front(), in));
  throw ToolError(kUsage);
}

std::string OneLine(std::string text) {
  for (char& ch : text) {
    if (ch == '\r' || ch == '\n') ch = ' ';
  }
  return text;
}

}  // namespace

int RunGatewayTool(std::span<const std::string> args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
  try {
    const std::string output = Run(args, in);
    out << output;
    out.flush();
    return 0;
  } catch (const std::exception& error) {
    err << "parvel-gateway: " << OneLine(error.what()) << '\n';
  } catch (...) {
    err << "parvel-gateway: unexpected failure\n";
  }
  return kExitBadInput;
}

}  // namespace parvel::tools
