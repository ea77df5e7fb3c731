#include "host/mail_path.h"

#include <cstdint>
#include <cwctype>
#include <string_view>
#include <utility>
#include <vector>

namespace parvel::host {
namespace {

// An entry of a distribution list that wraps a contact of an Outlook contact
// folder starts with 21 bytes: flags, the contact address book's provider,
// the entry type; the contact's own entry ID follows.
constexpr std::wstring_view kWrappedEntryPrefix = L"00000000C091ADD3519DCF11A4A900AA0047FAA4";
constexpr std::size_t kContactEntryPrefixSize = kWrappedEntryPrefix.size() + 2;

// The type's low four bits are 3 for a contact; the next three say which of
// its addresses the member was added by (C3 for the first e-mail address, D3
// and E3 for the others, 83, 93 and A3 for its fax numbers; never 7), and the
// high bit is set.
bool WrapsContact(std::wstring_view hex) {
  if (hex.size() < kContactEntryPrefixSize || !hex.starts_with(kWrappedEntryPrefix)) return false;
  const wchar_t address = hex[kWrappedEntryPrefix.size()];
  const wchar_t kind = hex[kWrappedEntryPrefix.size() + 1];
  return kind == L'3' && std::wstring_view(L"89ABCDE").find(address) != std::wstring_view::npos;
}
// PSETID_Address and PidLidDistributionListMembers (multi-valued binary).
constexpr std::wstring_view kAddressPropertySet = L"{00062004-0000-0000-C000-000000000046}";
constexpr std::uint32_t kDistributionListMembersId = 0x8055;
constexpr std::uint32_t kPtMvBinary = 0x1102;
constexpr int kFirstTrustedVersion = 12;  // Outlook 2007

// Runs a step whose failure the send passes over: the e-mail is already with
// the host, and nothing depends on the step. The failure is reported.
template <typename Step>
void Tolerate(Diagnostics& diagnostics, std::wstring_view what, Step step) noexcept {
  try {
    step();
  } catch (...) {
    try {
      diagnostics.Report(L"Send",
                         std::wstring(what) + L": " + DescribeFailure(std::current_exception()));
    } catch (...) {
      // No memory for the report's text: it goes unreported.
    }
  }
}

// --- Redemption -------------------------------------------------------------

class SafeOutgoingMail final : public OutgoingMail {
 public:
  SafeOutgoingMail(std::unique_ptr<SafeMailItem> safe_item, std::unique_ptr<MailItem> mail_item)
      : mail_item_(std::move(mail_item)), safe_item_(std::move(safe_item)) {
    safe_item_->SetItem(*mail_item_);
  }

  // To and Recipients.Add, as every mail through Redemption has been addressed.
  void AddressTo(const std::wstring& address) override {
    safe_item_->SetTo(address);
    safe_item_->AddRecipient(address);
  }
  void SetSubject(const std::wstring& subject) override { safe_item_->SetSubject(subject); }
  void SetBody(const std::wstring& body) override { safe_item_->SetBody(body); }
  void Save() override { safe_item_->Save(); }
  void Send() override { safe_item_->Send(); }

 private:
  // Declared first so that the safe item wrapping it is released before it.
  std::unique_ptr<MailItem> mail_item_;
  std::unique_ptr<SafeMailItem> safe_item_;
};

class SafeListContacts final : public ListContacts {
 public:
  SafeListContacts(std::vector<std::vector<std::uint8_t>> entries, std::unique_ptr<MapiUtils> utils,
                   Namespace& mapi_namespace)
      : entries_(std::move(entries)), utils_(std::move(utils)), namespace_(mapi_namespace) {}

  int Count() override { return static_cast<int>(entries_.size()); }
  std::unique_ptr<Item> Contact(int index) override {
    const std::wstring hex = utils_->HrArrayToString(entries_.at(static_cast<std::size_t>(index)));
    // Plain addresses, nested lists and anything else that does not wrap a
    // contact of a contact folder are not members we can text.
    if (!WrapsContact(hex)) return nullptr;
    return namespace_.GetItemFromID(hex.substr(kContactEntryPrefixSize));
  }

 private:
  std::vector<std::vector<std::uint8_t>> entries_;
  std::unique_ptr<MapiUtils> utils_;
  Namespace& namespace_;
};

class TrustedListContacts final : public ListContacts {
 public:
  TrustedListContacts(OutlookObjectModel& outlook, Item& list)
      : outlook_(outlook), list_(list), count_(outlook.MemberCount(list)) {}

  int Count() override { return count_; }
  std::unique_ptr<Item> Contact(int index) override {
    return outlook_.MemberContact(list_, index + 1);
  }

 private:
  OutlookObjectModel& outlook_;
  Item& list_;
  int count_;
};

class RedemptionPath final : public MailPath {
 public:
  RedemptionPath(Redemption& redemption, std::unique_ptr<OutlookObjectModel> outlook)
      : redemption_(redemption), outlook_(std::move(outlook)) {}

  MailPathKind Kind() const noexcept override { return MailPathKind::Redemption; }

  std::unique_ptr<OutgoingMail> NewMail(Application& host) override {
    std::unique_ptr<SafeMailItem> safe_item;
    try {
      safe_item = redemption_.CreateSafeMailItem();
    } catch (const HostError&) {
      return nullptr;
    }
    return std::make_unique<SafeOutgoingMail>(std::move(safe_item), host.CreateItem(kOlMailItem));
  }

  // Each step is tried even when the one before failed.
  void DeliverNow(Diagnostics& diagnostics) noexcept override {
    std::unique_ptr<MapiUtils> utils;
    Tolerate(diagnostics, L"MAPIUtils", [&] { utils = redemption_.CreateMapiUtils(); });
    if (!utils) return;
    Tolerate(diagnostics, L"DeliverNow", [&] { utils->DeliverNow(); });
    Tolerate(diagnostics, L"Cleanup", [&] { utils->Cleanup(); });
  }

  std::unique_ptr<AddressLists> OpenAddressLists() override {
    return redemption_.CreateAddressLists();
  }

  std::unique_ptr<ListContacts> ContactsOf(Item& distribution_list,
                                           Namespace& mapi_namespace) override {
    const auto safe_list = redemption_.CreateSafeDistList();
    safe_list->SetItem(distribution_list);
    const std::uint32_t tag =
        safe_list->GetIDsFromNames(std::wstring(kAddressPropertySet), kDistributionListMembersId) |
        kPtMvBinary;
    std::vector<std::vector<std::uint8_t>> entries;
    try {
      entries = safe_list->BinaryFields(tag);
    } catch (const HostError&) {
      // A list whose members take more than 15,000 bytes keeps them in a
      // stream instead, without this property; Outlook's own object model
      // reads either form.
      if (!TrustedOutlook()) throw;
      return std::make_unique<TrustedListContacts>(*outlook_, distribution_list);
    }
    return std::make_unique<SafeListContacts>(std::move(entries), redemption_.CreateMapiUtils(),
                                              mapi_namespace);
  }

 private:
  bool TrustedOutlook() {
    if (!outlook_) return false;
    try {
      return MajorVersion(outlook_->Version()) >= kFirstTrustedVersion;
    } catch (const HostError&) {
      return false;
    }
  }

  Redemption& redemption_;
  std::unique_ptr<OutlookObjectModel> outlook_;  // none without a connected host
};

// --- Outlook's object model ---------------------------------------------------

class TrustedOutgoingMail final : public OutgoingMail {
 public:
  explicit TrustedOutgoingMail(std::unique_ptr<OutlookMail> mail) : mail_(std::move(mail)) {}

  // One recipient, resolved before the send as Outlook's own send would.
  void AddressTo(const std::wstring& address) override {
    mail_->AddRecipient(address);
    mail_->ResolveAll();
  }
  void SetSubject(const std::wstring& subject) override { mail_->SetSubject(subject); }
  void SetBody(const std::wstring& body) override { mail_->SetBody(body); }
  void Save() override { mail_->Save(); }
  void Send() override { mail_->Send(); }

 private:
  std::unique_ptr<OutlookMail> mail_;
};

class OutlookPath final : public MailPath {
 public:
  explicit OutlookPath(std::unique_ptr<OutlookObjectModel> outlook)
      : outlook_(std::move(outlook)) {}

  MailPathKind Kind() const noexcept override { return MailPathKind::OutlookObjectModel; }

  std::unique_ptr<OutgoingMail> NewMail(Application&) override {
    return std::make_unique<TrustedOutgoingMail>(outlook_->CreateMail());
  }
  void DeliverNow(Diagnostics& diagnostics) noexcept override {
    Tolerate(diagnostics, L"SendAndReceive", [&] { outlook_->SendAndReceive(); });
  }
  std::unique_ptr<AddressLists> OpenAddressLists() override { return outlook_->OpenAddressLists(); }
  std::unique_ptr<ListContacts> ContactsOf(Item& distribution_list, Namespace&) override {
    return std::make_unique<TrustedListContacts>(*outlook_, distribution_list);
  }

 private:
  std::unique_ptr<OutlookObjectModel> outlook_;
};

// --- Neither --------------------------------------------------------------------

class NoMailPath final : public MailPath {
 public:
  MailPathKind Kind() const noexcept override { return MailPathKind::None; }
  std::unique_ptr<OutgoingMail> NewMail(Application&) override { return nullptr; }
  void DeliverNow(Diagnostics&) noexcept override {}
  std::unique_ptr<AddressLists> OpenAddressLists() override { return nullptr; }
  std::unique_ptr<ListContacts> ContactsOf(Item&, Namespace&) override {
    throw HostError(kEFail, std::wstring(MailPathText(MailPathKind::None)));
  }

 private:
  static constexpr auto kEFail = static_cast<std::int32_t>(0x80004005U);
};

}  // namespace

std::unique_ptr<MailPath> MakeRedemptionPath(Redemption& redemption,
                                             std::unique_ptr<OutlookObjectModel> outlook) {
  return std::make_unique<RedemptionPath>(redemption, std::move(outlook));
}

std::unique_ptr<MailPath> MakeOutlookPath(std::unique_ptr<OutlookObjectModel> outlook) {
  return std::make_unique<OutlookPath>(std::move(outlook));
}

std::unique_ptr<MailPath> MakeNoMailPath() { return std::make_unique<NoMailPath>(); }

int MajorVersion(std::wstring_view version) {
  int major = 0;
  std::size_t digits = 0;
  for (const wchar_t ch : version) {
    if (ch < L'0' || ch > L'9' || digits == 4) break;
    major = major * 10 + (ch - L'0');
    ++digits;
  }
  return major;
}

std::wstring_view MailPathText(MailPathKind kind) {
  switch (kind) {
    case MailPathKind::Redemption:
      return L"mails and address lists through Redemption";
    case MailPathKind::OutlookObjectModel:
      return L"mails and address lists through Outlook's object model";
    case MailPathKind::None:
      return L"no path for mails and address lists: neither Redemption nor Outlook 2007 or later";
  }
  return {};
}

std::unique_ptr<MailPath> ChooseMailPath(Redemption& redemption,
                                         std::unique_ptr<OutlookObjectModel> outlook,
                                         Diagnostics& diagnostics) {
  std::wstring why;
  try {
    redemption.CreateSafeMailItem();
    diagnostics.Report(L"Connection", MailPathText(MailPathKind::Redemption));
    return MakeRedemptionPath(redemption, std::move(outlook));
  } catch (const HostError&) {
    why = L"Redemption: " + DescribeFailure(std::current_exception());
  }
  if (outlook) {
    try {
      const std::wstring version = outlook->Version();
      if (MajorVersion(version) >= kFirstTrustedVersion) {
        diagnostics.Report(L"Connection",
                           std::wstring(MailPathText(MailPathKind::OutlookObjectModel)) +
                               L" (Outlook " + version + L"; " + why + L")");
        return MakeOutlookPath(std::move(outlook));
      }
      why += L"; Outlook " + version;
    } catch (const HostError&) {
      why += L"; Outlook's version: " + DescribeFailure(std::current_exception());
    }
  }
  diagnostics.Report(L"Connection",
                     std::wstring(MailPathText(MailPathKind::None)) + L" (" + why + L")");
  return MakeNoMailPath();
}

}  // namespace parvel::host
