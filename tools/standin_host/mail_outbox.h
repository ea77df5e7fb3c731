#pragma once

// Mails as the stand-in host keeps them: the recipients, subject and body an
// add-in set, and the outbox folder that every submitted mail is written to
// as NNNN.eml.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parvel::standin {

class MailError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The addressing of one mail as Outlook models it: To is a view of the
// recipients. Setting To replaces them by the names it lists (separated by
// ';'); Recipients.Add appends one.
class MailRecipients {
 public:
  void SetTo(std::wstring_view text);
  void Add(std::wstring name);
  std::wstring To() const;  // the names joined by "; "
  const std::vector<std::wstring>& names() const { return names_; }
  // The addresses a mail goes to: each name once, in order, ignoring case.
  std::vector<std::wstring> Distinct() const;

 private:
  std::vector<std::wstring> names_;
};

enum class MailState { Submitted, Delivered };

struct OutboxMail {
  int number = 0;
  std::filesystem::path file;
  std::wstring to;
  std::wstring subject;
  std::wstring body;
  MailState state = MailState::Submitted;
};

std::wstring MailStateText(MailState state);  // "Submitted" or "Delivered"

class Outbox {
 public:
  // Numbers continue after the highest NNNN.eml already in the folder.
  explicit Outbox(std::filesystem::path folder);

  // Writes the mail and lists it; throws MailError when it has no recipient
  // or cannot be written.
  const OutboxMail& Submit(const MailRecipients& recipients, std::wstring subject,
                           std::wstring body);
  // Marks every submitted mail delivered; returns how many changed.
  int DeliverAll();

  const std::vector<OutboxMail>& mails() const { return mails_; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  int next_number_ = 1;
  std::vector<OutboxMail> mails_;
};

}  // namespace parvel::standin
