#include "workflows/send_problem_text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/host_error.h"

namespace parvel {
namespace {

TEST(SendProblemText, NamesEachPlaceOnceInRequestOrder) {
  const std::vector<RecipientEntry> rows = {{.name = L"Ann", .mobile = L"1"},
                                            {.name = L"Bo\r\nb", .mobile = L"12\u00FF"}};
  const std::vector<RefusedCharacter> refused = {
      {RequestField::Account, 0, L"\u00FF"},     {RequestField::Password, 0, L"\u00FE"},
      {RequestField::DelayedSend, 0, L"\u00E9"}, {RequestField::Mobile, 1, L"\u00FF"},
      {RequestField::Message, 0, L"\u00FC"},     {RequestField::Message, 0, L"\u00E9"},
      {RequestField::Message, 0, L"\u00FC"},     {RequestField::Message, 0, L"\U0001F600"},
      {RequestField::Message, 0, L"\u00A0"},     {RequestField::Message, 0, L"\u200B"}};
  const std::wstring text = DescribeRefusedCharacters(refused, rows);
  EXPECT_EQ(text,
            L"These characters cannot be sent through the SMS gateway:\r\n"
            L"\r\nThe account: \u00FF"
            L"\r\nThe password: characters not shown"
            L"\r\nThe delayed-send time: \u00E9"
            L"\r\nRecipient 2's number \"12\u00FF\": \u00FF"
            L"\r\nThe message: \u00FC \u00E9 \U0001F600 U+00A0 U+200B\r\n"
            L"\r\nNothing has been sent. Please replace or remove these characters and try "
            L"again...");
  EXPECT_EQ(text.find(L'\u00FE'), std::wstring::npos) << "a password character was shown";
}

TEST(SendProblemText, QuotesTheHostsOwnErrorText) {
  const auto describe = [](auto error) {
    const std::wstring text = DescribeSendFailure(std::make_exception_ptr(error));
    const std::wstring intro = L"Outlook could not submit the SMS message:\r\n\r\n";
    const std::wstring closing =
        L"\r\n\r\nYour recipients and message have been kept so that you can try again...";
    EXPECT_TRUE(text.starts_with(intro) && text.ends_with(closing)) << testing::PrintToString(text);
    return text.substr(intro.size(), text.size() - intro.size() - closing.size());
  };
  EXPECT_EQ(describe(host::HostError(-2147467259, L"The store is full.\r\n")),
            L"The store is full.");
  EXPECT_EQ(describe(host::HostError(-2147221233, L"")), L"Error 0x8004010F.");
  EXPECT_EQ(describe(std::runtime_error("out of disk space")), L"out of disk space");
  EXPECT_EQ(describe(42), L"An unknown error occurred.");
}

}  // namespace
}  // namespace parvel
