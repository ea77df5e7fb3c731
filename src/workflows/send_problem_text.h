#pragma once

#include <exception>
#include <span>
#include <string>
#include <string_view>

#include "recipients/recipient_entry.h"
#include "request/gateway_request.h"

namespace parvel {

// The send problems the add-in reports beyond the validation messages: text
// the gateway cannot carry, and the host failing while the e-mail is built.
inline constexpr std::wstring_view kUnsupportedCharactersTitle = L"Unsupported Characters";
inline constexpr std::wstring_view kSendFailedTitle = L"Send Failed";

// Names every refused character once per place it stands in (the message, a
// recipient's name or number counted from 1 in list order, an account field),
// places in the order of the request. Password characters are not shown.
// Names never stand here: the request writes them in their plain form.
std::wstring DescribeRefusedCharacters(std::span<const RefusedCharacter> refused,
                                       std::span<const RecipientEntry> rows);

// The characters separated by blanks.
std::wstring JoinedCharacters(std::span<const std::wstring> characters);

// Quotes the host's own error text; the failure is the exception caught.
std::wstring DescribeSendFailure(const std::exception_ptr& failure);

}  // namespace parvel
