#include "host/outlook_model_win.h"

#include <optional>
#include <string>
#include <utility>

#include "com/dispatch_win.h"
#include "host/address_lists_win.h"
#include "host/host_adapters_win.h"

namespace parvel::host {
namespace {

using Microsoft::WRL::ComPtr;

// What PropertyAccessor.GetProperty raises for a property the entry lacks.
constexpr auto kMapiENotFound = static_cast<std::int32_t>(0x8004010FU);
// PR_MOBILE_TELEPHONE_NUMBER (Unicode) as the PropertyAccessor names it.
constexpr wchar_t kMobileProperty[] = L"http://schemas.microsoft.com/mapi/proptag/0x3A1C001F";

class TrustedMail final : public OutlookMail {
 public:
  explicit TrustedMail(com::Dispatch item) : item_(std::move(item)) {}

  void AddRecipient(const std::wstring& address) override {
    item_.Object(L"Recipients").Call(L"Add", {address});
  }
  void ResolveAll() override { item_.Object(L"Recipients").Call(L"ResolveAll"); }
  void SetSubject(const std::wstring& subject) override { item_.Put(L"Subject", subject); }
  void SetBody(const std::wstring& body) override { item_.Put(L"Body", body); }
  void Save() override { item_.Call(L"Save"); }
  void Send() override { item_.Call(L"Send"); }

 private:
  com::Dispatch item_;
};

class TrustedEntry final : public AddressEntry {
 public:
  explicit TrustedEntry(com::Dispatch entry) : entry_(std::move(entry)) {}

  int DisplayType() override { return entry_.Call(L"DisplayType").ToInt(); }
  std::wstring Name() override { return entry_.Call(L"Name").ToText(); }
  std::wstring ID() override { return entry_.Call(L"ID").ToText(); }
  // An Exchange user tells its own; any other entry has the property or not.
  std::optional<std::wstring> MobileTelephoneNumber() override {
    const com::Variant user = entry_.Call(L"GetExchangeUser");
    if (!user.IsNothing()) return com::Dispatch(user).Call(L"MobileTelephoneNumber").ToText();
    com::Variant value;
    try {
      value = entry_.Object(L"PropertyAccessor").Call(L"GetProperty", {kMobileProperty});
    } catch (const HostError& error) {
      if (error.hresult() == kMapiENotFound) return std::nullopt;
      throw;
    }
    if (value.IsNullOrEmpty()) return std::nullopt;
    return value.ToText();
  }
  std::unique_ptr<AddressEntries> Members() override;

 private:
  com::Dispatch entry_;
};

std::unique_ptr<AddressEntries> TrustedEntry::Members() {
  return std::make_unique<AddressEntriesOf<TrustedEntry>>(entry_.Object(L"Members"));
}

class TrustedObjectModel final : public OutlookObjectModel {
 public:
  explicit TrustedObjectModel(com::Dispatch application) : application_(std::move(application)) {}

  std::wstring Version() override { return application_.Call(L"Version").ToText(); }
  std::unique_ptr<OutlookMail> CreateMail() override {
    return std::make_unique<TrustedMail>(application_.Object(L"CreateItem", {kOlMailItem}));
  }
  void SendAndReceive() override { Session().Call(L"SendAndReceive", {false}); }
  std::unique_ptr<AddressLists> OpenAddressLists() override {
    return std::make_unique<AddressListsOf<TrustedEntry>>(Session().Object(L"AddressLists"));
  }
  int MemberCount(Item& distribution_list) override {
    return com::Dispatch(ItemObject(distribution_list)).Call(L"MemberCount").ToInt();
  }
  std::unique_ptr<Item> MemberContact(Item& distribution_list, int index) override {
    const com::Variant contact = com::Dispatch(ItemObject(distribution_list))
                                     .Object(L"GetMember", {index})
                                     .Object(L"AddressEntry")
                                     .Call(L"GetContact");
    if (contact.IsNothing()) return nullptr;
    return MakeItem(contact.ToDispatch());
  }

 private:
  // The MAPI namespace, asked for each time: nothing of it outlives the call.
  com::Dispatch Session() const { return application_.Object(L"GetNamespace", {L"MAPI"}); }

  com::Dispatch application_;
};

}  // namespace

std::unique_ptr<OutlookObjectModel> MakeOutlookObjectModel(ComPtr<IDispatch> application) {
  return std::make_unique<TrustedObjectModel>(com::Dispatch(std::move(application)));
}

}  // namespace parvel::host
