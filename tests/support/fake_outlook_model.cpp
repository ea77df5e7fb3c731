#include "support/fake_outlook_model.h"

#include <utility>

namespace parvel::fakes {
namespace {

constexpr std::wstring_view kContactEntryPrefix = L"00000000C091ADD3519DCF11A4A900AA0047FAA4C3";
constexpr auto kDispEBadIndex = static_cast<std::int32_t>(0x8002000BU);

std::wstring Hex(const std::vector<std::uint8_t>& bytes) {
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex;
  for (const std::uint8_t byte : bytes) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0F]);
  }
  return hex;
}

class FakeOutlookMail final : public host::OutlookMail {
 public:
  explicit FakeOutlookMail(CallRecorder& recorder) : recorder_(recorder), lifetime_(recorder) {}

  void AddRecipient(const std::wstring& address) override {
    recorder_.Record(L"MailItem.Recipients.Add(" + address + L")");
  }
  void ResolveAll() override { recorder_.Record(L"MailItem.Recipients.ResolveAll()"); }
  void SetSubject(const std::wstring& subject) override {
    recorder_.Record(L"MailItem.Subject=" + subject);
  }
  void SetBody(const std::wstring& body) override { recorder_.Record(L"MailItem.Body=" + body); }
  void Save() override { recorder_.Record(L"MailItem.Save()"); }
  void Send() override { recorder_.Record(L"MailItem.Send()"); }

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
};

class FakeObjectModel final : public host::OutlookObjectModel {
 public:
  FakeObjectModel(CallRecorder& recorder, FakeOutlookData data)
      : recorder_(recorder), lifetime_(recorder), data_(std::move(data)) {}

  std::wstring Version() override {
    recorder_.Record(L"Application.Version");
    return data_.version;
  }
  std::unique_ptr<host::OutlookMail> CreateMail() override {
    recorder_.Record(L"Application.CreateItem(0)");
    return std::make_unique<FakeOutlookMail>(recorder_);
  }
  void SendAndReceive() override { recorder_.Record(L"NameSpace.SendAndReceive(False)"); }
  std::unique_ptr<host::AddressLists> OpenAddressLists() override {
    recorder_.Record(L"NameSpace.AddressLists");
    return FakeAddressListsMaker(recorder_, data_.address_lists, 1)();
  }
  int MemberCount(host::Item& distribution_list) override {
    const FakeItemData& list = ListData(distribution_list);
    recorder_.Record(L"DistListItem(" + list.entry_id + L").MemberCount");
    return static_cast<int>(list.members.size());
  }
  std::unique_ptr<host::Item> MemberContact(host::Item& distribution_list, int index) override {
    const FakeItemData& list = ListData(distribution_list);
    recorder_.Record(L"DistListItem(" + list.entry_id + L").GetMember(" + std::to_wstring(index) +
                     L").AddressEntry.GetContact");
    if (index < 1 || static_cast<std::size_t>(index) > list.members.size()) {
      throw host::HostError(kDispEBadIndex, L"Array index out of bounds.");
    }
    const std::wstring hex = Hex(list.members[static_cast<std::size_t>(index - 1)]);
    if (!hex.starts_with(kContactEntryPrefix)) return nullptr;
    const FakeItemData* contact = Find(hex.substr(kContactEntryPrefix.size()), data_.stores);
    if (contact == nullptr) return nullptr;
    return std::make_unique<FakeItem>(recorder_, *contact);
  }

 private:
  static const FakeItemData& ListData(host::Item& item) {
    const auto* fake = dynamic_cast<FakeItem*>(&item);
    if (fake == nullptr) throw host::HostError(kEFail, L"not an item of this host");
    return fake->data();
  }
  static const FakeItemData* Find(const std::wstring& entry_id,
                                  const std::vector<std::shared_ptr<FakeFolderData>>& folders) {
    for (const auto& folder : folders) {
      for (const FakeItemData& item : folder->items) {
        if (item.entry_id == entry_id) return &item;
      }
      if (const FakeItemData* found = Find(entry_id, folder->folders)) return found;
    }
    return nullptr;
  }

  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  FakeOutlookData data_;
};

}  // namespace

std::function<std::unique_ptr<host::OutlookObjectModel>()> FakeOutlookObjectModelMaker(
    CallRecorder& recorder, FakeOutlookData data) {
  return [&recorder, data = std::move(data)] {
    return std::make_unique<FakeObjectModel>(recorder, data);
  };
}

}  // namespace parvel::fakes
