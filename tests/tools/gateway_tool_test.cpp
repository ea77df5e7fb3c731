#include "gateway/gateway_tool.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "codec/secret_text.h"

namespace parvel::tools {
namespace {

using nlohmann::json;

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result RunTool(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunGatewayTool(args, in, out, err);
  return {code, out.str(), err.str()};
}

std::string Hex(const std::wstring& plain) {
  const std::wstring hex = EncodeSecretText(plain);
  return {hex.begin(), hex.end()};
}

const char* const kOneRecipient = R"({
  "account": "acc1", "password": "Unknown", "namePrefix": "", "mailAddress": "sms@gw.example",
  "userName": "Sales Desk", "delayedSend": null,
  "recipients": [{"name": "Unknown", "mobile": "021 555 123"}],
  "message": "Hi"
})";

// gateway_cli_test.cmake takes a text beyond ASCII there and back.
TEST(GatewayTool, EncodesAndDecodesIgnoringOneTrailingNewline) {
  EXPECT_EQ(RunTool({"encode"}, "abc\n").out, "CED497\n");
  EXPECT_EQ(RunTool({"encode"}, "abc\r\n").out, "CED497\n");
  EXPECT_EQ(RunTool({"encode"}, "abc\n\n").out, Hex(L"abc\n") + "\n");
  EXPECT_EQ(RunTool({"decode"}, "ced497\n").out, "abc\n");
}

TEST(GatewayTool, BuildPrintsTheRequestAsJson) {
  const Result result = RunTool({"build", "-"}, kOneRecipient);
  ASSERT_EQ(result.code, 0) << result.err;
  const json request = json::parse(result.out);
  EXPECT_EQ(request["to"], "sms@gw.example");
  EXPECT_EQ(request["subject"], "SMS Message to 021 555 123");
  EXPECT_EQ(request["body"],
            "To: 021 555 123 (Unknown), \r\nMessage: Hi\r\n=====Start Qel encryption======\r\n" +
                Hex(L"SMS-AccountId:=acc1\r\nSMS-SecurityKey:=Unknown\r\nSMS-Version:=1.0.26\r\n"
                    L"SMS-BPID:=0\r\nSMS-Recp:=021 555 123\r\nSMS-Recn:=Unknown\r\n"
                    L"SMS-Body:=Hi\r\nSMS-Name:=Sales Desk\r\n") +
                "\r\n=====End Qel encryption======");
}

TEST(GatewayTool, ReadGivesBackEveryLineThatBuildWrote) {
  json input = json::parse(kOneRecipient);
  input["namePrefix"] = "ZN";
  input["delayedSend"] = "05-Dec-26 17:30";
  const std::string long_message(700, 'x');
  input["message"] = "line one\r\nline\rtwo = \xE2\x82\xAC " + long_message;
  input["recipients"] = json::array({{{"name", "Ann\r\nLee"}, {"mobile", "021"}},
                                     {{"name", "Team"}, {"mobile", "x"}, {"kind", "Distribution"}},
                                     {{"name", "Bo \xE2\x82\xAC"}, {"mobile", "022"}}});
  const Result eml = RunTool({"build", "--eml", "-"}, input.dump());
  ASSERT_EQ(eml.code, 0) << eml.err;
  const Result read = RunTool({"read", "-"}, eml.out);
  ASSERT_EQ(read.code, 0) << read.err;
  const std::string body = "line oneline\rtwo = \xE2\x82\xAC " + long_message;
  const json expected = {
      {"visible", {"To: 021 (Ann", "Lee), 022 (Bo \xE2\x82\xAC), ", "Message: " + body}},
      {"section",
       {{{"key", "SMS-AccountId"}, {"value", "acc1"}},
        {{"key", "SMS-SecurityKey"}, {"value", "Unknown"}},
        {{"key", "SMS-Version"}, {"value", "1.0.26"}},
        {{"key", "SMS-BPID"}, {"value", "0"}},
        {{"key", "SMS-NamePrefix"}, {"value", "ZN"}},
        {{"key", "SMS-DelayedSend"}, {"value", "05 Dec, 2026 17:30"}},
        {{"key", "SMS-Recp"}, {"value", "021"}},
        {{"key", "SMS-Recn"}, {"value", "AnnLee"}},
        {{"key", "SMS-Recp"}, {"value", "022"}},
        {{"key", "SMS-Recn"}, {"value", "Bo \xE2\x82\xAC"}},
        {{"key", "SMS-Body"}, {"value", body}},
        {{"key", "SMS-Name"}, {"value", "Sales Desk"}}}}};
  EXPECT_EQ(json::parse(read.out), expected);

  // The bare body reads the same as the message around it.
  const Result plain = RunTool({"build", "-"}, input.dump());
  const Result bare = RunTool({"read", "-"}, json::parse(plain.out)["body"].get<std::string>());
  ASSERT_EQ(bare.code, 0) << bare.err;
  EXPECT_EQ(json::parse(bare.out), expected);
}

struct BadInput {
  std::vector<std::string> args;
  std::string input;
  std::string says;  // a part of the one error line
};

class GatewayToolBadInput : public testing::TestWithParam<BadInput> {};

TEST_P(GatewayToolBadInput, ExitsWithCodeTwoAndOneLine) {
  const BadInput& bad = GetParam();
  const Result result = RunTool(bad.args, bad.input);
  EXPECT_EQ(result.code, kExitBadInput);
  EXPECT_EQ(result.out, "");
  ASSERT_TRUE(result.err.starts_with("parvel-gateway: ")) << result.err;
  EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
  EXPECT_NE(result.err.find(bad.says), std::string::npos) << result.err;
}

std::string WithField(const std::string& key, const json& value) {
  json request = json::parse(kOneRecipient);
  if (value.is_discarded()) {
    request.erase(key);
  } else {
    request[key] = value;
  }
  return request.dump();
}

const std::string kStart = "=====Start Qel encryption======\r\n";
const std::string kEnd = "\r\n=====End Qel encryption======";

INSTANTIATE_TEST_SUITE_P(
    Everything, GatewayToolBadInput,
    testing::Values(
        BadInput{{}, "", "usage"}, BadInput{{"frob"}, "", "usage"}, BadInput{{"read"}, "", "usage"},
        BadInput{{"build", "a", "b"}, "", "usage"},
        BadInput{{"read", "/no/such/file"}, "", "cannot open"},
        BadInput{{"encode"}, "caf\xC3\xA9", "invalid argument at position 3"},
        BadInput{{"encode"}, "\xFF", "UTF-8"}, BadInput{{"decode"}, "", "index out of range"},
        BadInput{{"decode"}, "CED49", "index out of range"},
        BadInput{{"decode"}, "CEZZ", "type mismatch"}, BadInput{{"build", "-"}, "{", "parse"},
        BadInput{{"build", "-"}, "[]", "JSON object"},
        BadInput{{"build", "-"}, WithField("account", json::value_t::discarded), "\"account\""},
        BadInput{{"build", "-"}, WithField("message", 5), "\"message\""},
        BadInput{{"build", "-"}, WithField("recipients", "x"), "\"recipients\""},
        BadInput{
            {"build", "-"}, WithField("recipients", json::array({{{"name", "a"}}})), "\"mobile\""},
        BadInput{{"build", "-"},
                 WithField("recipients",
                           json::array({{{"name", "a"}, {"mobile", "1"}, {"kind", "Group"}}})),
                 "\"kind\""},
        BadInput{{"build", "-"}, WithField("delayedSend", "31 Feb 26 10:00"), "delayedSend"},
        BadInput{{"build", "-"}, WithField("message", "caf\xC3\xA9"), "in the message"},
        BadInput{{"read", "-"}, "To: x\r\nMessage: y\r\n", "Start Qel"},
        BadInput{{"read", "-"}, kStart + "CED497", "End Qel"},
        BadInput{{"read", "-"}, kStart + "CED49" + kEnd, "index out of range"},
        BadInput{{"read", "-"}, kStart + "CEXX" + kEnd, "type mismatch"},
        BadInput{{"read", "-"}, kStart + Hex(L"hello\r\n") + kEnd, "not an SMS- key"},
        BadInput{{"read", "-"}, kStart + Hex(L"SMS-BPID:=0") + kEnd, "line end"},
        BadInput{{"read", "-"},
                 "Subject: x\r\nContent-Transfer-Encoding: base64\r\n\r\nAAAA",
                 "base64"}));

}  // namespace
}  // namespace parvel::tools
