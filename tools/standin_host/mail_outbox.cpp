#include "standin_host/mail_outbox.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <system_error>

#include "common/eml.h"
#include "common/utf8.h"

namespace parvel::standin {
namespace {

std::wstring_view Trim(std::wstring_view text) {
  const auto first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return std::towlower(static_cast<std::wint_t>(x)) == std::towlower(static_cast<std::wint_t>(y));
  });
}

// The number of a file named like 0042.eml, or 0.
int MailNumber(const std::filesystem::path& file) {
  const std::wstring stem = file.stem().wstring();
  if (file.extension() != L".eml" || stem.size() != 4) return 0;
  int number = 0;
  for (const wchar_t ch : stem) {
    if (ch < L'0' || ch > L'9') return 0;
    number = number * 10 + (ch - L'0');
  }
  return number;
}

std::wstring FileName(int number) {
  std::wstring digits = std::to_wstring(number);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), L'0');
  return digits + L".eml";
}

}  // namespace

void MailRecipients::SetTo(std::wstring_view text) {
  names_.clear();
  while (!text.empty()) {
    const auto end = text.find(L';');
    const std::wstring_view name = Trim(text.substr(0, end));
    if (!name.empty()) names_.emplace_back(name);
    text = end == std::wstring_view::npos ? std::wstring_view{} : text.substr(end + 1);
  }
}

void MailRecipients::Add(std::wstring name) { names_.push_back(std::move(name)); }

std::wstring MailRecipients::To() const {
  std::wstring to;
  for (const std::wstring& name : names_) {
    if (!to.empty()) to += L"; ";
    to += name;
  }
  return to;
}

std::vector<std::wstring> MailRecipients::Distinct() const {
  std::vector<std::wstring> distinct;
  for (const std::wstring& name : names_) {
    const bool known = std::any_of(distinct.begin(), distinct.end(), [&](const std::wstring& seen) {
      return SameIgnoringCase(seen, name);
    });
    if (!known) distinct.push_back(name);
  }
  return distinct;
}

std::wstring MailStateText(MailState state) {
  return state == MailState::Delivered ? L"Delivered" : L"Submitted";
}

Outbox::Outbox(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    next_number_ = std::max(next_number_, MailNumber(entry.path()) + 1);
  }
}

const OutboxMail& Outbox::Submit(const MailRecipients& recipients, std::wstring subject,
                                 std::wstring body) {
  const std::vector<std::wstring> addresses = recipients.Distinct();
  if (addresses.empty()) {
    throw MailError("There must be at least one name or distribution list in the To box.");
  }
  std::wstring to;
  for (const std::wstring& address : addresses) {
    if (!to.empty()) to += L", ";
    to += address;
  }
  std::string message;
  try {
    message = tools::WriteEml(to, subject, body);
  } catch (const tools::EmlError& error) {
    throw MailError(std::string("The mail cannot be written: ") + error.what());
  }
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  const std::filesystem::path file = folder_ / FileName(next_number_);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(message.data(), static_cast<std::streamsize>(message.size()));
  out.close();
  if (!out)
    throw MailError("The outbox file " + tools::WideToUtf8(file.wstring()) + " cannot be written.");
  mails_.push_back({.number = next_number_,
                    .file = file,
                    .to = std::move(to),
                    .subject = std::move(subject),
                    .body = std::move(body)});
  ++next_number_;
  return mails_.back();
}

int Outbox::DeliverAll() {
  int changed = 0;
  for (OutboxMail& mail : mails_) {
    if (mail.state == MailState::Submitted) {
      mail.state = MailState::Delivered;
      ++changed;
    }
  }
  return changed;
}

}  // namespace parvel::standin
