#include "support/fake_address_book.h"

#include <stdexcept>
#include <utility>

namespace parvel::fakes {
namespace {

constexpr auto kMapiENotFound = static_cast<std::int32_t>(0x8004010FU);
constexpr auto kEInvalidArg = static_cast<std::int32_t>(0x80070057U);
constexpr std::wstring_view kContactEntryPrefix = L"00000000C091ADD3519DCF11A4A900AA0047FAA4C3";
constexpr std::wstring_view kAddressPropertySet = L"{00062004-0000-0000-C000-000000000046}";
constexpr std::uint32_t kMembersId = 0x8055;
constexpr std::uint32_t kOtherPropertyTag = 0x81230000;

[[noreturn]] void NotFound() {
  throw host::HostError(kMapiENotFound, L"The object could not be found.");
}

int HexDigit(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  throw std::invalid_argument("not a hexadecimal digit");
}

// --- Folders ------------------------------------------------------------------

class FakeItems final : public host::ItemEnumerator {
 public:
  FakeItems(CallRecorder& recorder, std::shared_ptr<FakeFolderData> folder)
      : recorder_(recorder), lifetime_(recorder), folder_(std::move(folder)) {}

  std::unique_ptr<host::Item> Next() override {
    if (next_ >= folder_->items.size()) return nullptr;
    return std::make_unique<FakeItem>(recorder_, folder_->items[next_++]);
  }

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  std::shared_ptr<FakeFolderData> folder_;
  std::size_t next_ = 0;
};

class FakeFolder final : public host::Folder {
 public:
  FakeFolder(CallRecorder& recorder, std::shared_ptr<FakeFolderData> data, std::wstring path)
      : recorder_(recorder), lifetime_(recorder), data_(std::move(data)), path_(std::move(path)) {}

  int DefaultItemType() override {
    Log(L"DefaultItemType");
    return data_->default_item_type;
  }
  std::wstring Name() override {
    Log(L"Name");
    return data_->name;
  }
  int FolderCount() override {
    Log(L"Folders.Count");
    return static_cast<int>(data_->folders.size());
  }
  std::unique_ptr<host::Folder> FolderAt(int index) override {
    Log(L"Folders.Item(" + std::to_wstring(index) + L")");
    if (index < 1 || static_cast<std::size_t>(index) > data_->folders.size()) NotFound();
    const auto& child = data_->folders[static_cast<std::size_t>(index - 1)];
    return std::make_unique<FakeFolder>(recorder_, child, path_ + L"/" + child->name);
  }
  std::unique_ptr<host::ItemEnumerator> Items() override {
    Log(L"Items");
    return std::make_unique<FakeItems>(recorder_, data_);
  }
  std::unique_ptr<host::ContactTable> Table() override;

 private:
  void Log(const std::wstring& call) { recorder_.Record(L"Folder(" + path_ + L")." + call); }

  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  std::shared_ptr<FakeFolderData> data_;
  std::wstring path_;
};

class FakeContactTable final : public host::ContactTable {
 public:
  FakeContactTable(CallRecorder& recorder, std::shared_ptr<FakeFolderData> folder,
                   std::wstring path)
      : recorder_(recorder),
        lifetime_(recorder),
        folder_(std::move(folder)),
        path_(std::move(path)) {}

  std::vector<host::ContactRow> NextRows(int count) override {
    recorder_.Record(L"Table(" + path_ + L").GetArray(" + std::to_wstring(count) + L")");
    if (folder_->table_fails_after && next_ >= *folder_->table_fails_after) NotFound();
    std::vector<host::ContactRow> rows;
    for (; next_ < folder_->items.size() && rows.size() < static_cast<std::size_t>(count);
         ++next_) {
      const FakeItemData& item = folder_->items[next_];
      switch (item.kind) {
        case host::Item::Kind::Contact:
          rows.push_back({item.entry_id, L"IPM.Contact", item.file_as, item.mobile});
          break;
        case host::Item::Kind::DistributionList:
          rows.push_back({item.entry_id, L"IPM.DistList", item.dl_name, {}});
          break;
        case host::Item::Kind::Other:
          rows.push_back({item.entry_id, L"IPM.Note", {}, {}});
          break;
      }
    }
    return rows;
  }

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  std::shared_ptr<FakeFolderData> folder_;
  std::wstring path_;
  std::size_t next_ = 0;
};

std::unique_ptr<host::ContactTable> FakeFolder::Table() {
  Log(L"GetTable");
  if (!data_->offers_table) NotFound();
  return std::make_unique<FakeContactTable>(recorder_, data_, path_);
}

class FakeStores final : public host::FolderEnumerator {
 public:
  FakeStores(CallRecorder& recorder, std::vector<std::shared_ptr<FakeFolderData>> stores)
      : recorder_(recorder), stores_(std::move(stores)) {}

  std::unique_ptr<host::Folder> Next() override {
    if (next_ >= stores_.size()) return nullptr;
    const auto& store = stores_[next_++];
    return std::make_unique<FakeFolder>(recorder_, store, store->name);
  }

 private:
  CallRecorder& recorder_;
  std::vector<std::shared_ptr<FakeFolderData>> stores_;
  std::size_t next_ = 0;
};

const FakeItemData* FindItem(const FakeFolderData& folder, const std::wstring& entry_id) {
  for (const FakeItemData& item : folder.items) {
    if (item.entry_id == entry_id && item.findable) return &item;
  }
  for (const auto& child : folder.folders) {
    if (const FakeItemData* found = FindItem(*child, entry_id)) return found;
  }
  return nullptr;
}

// --- Address lists --------------------------------------------------------------

struct FakeAddressBook {
  std::vector<FakeAddressListData> lists;
  int base;  // where Item counts from
};
using ListsData = std::shared_ptr<const FakeAddressBook>;

class FakeAddressEntry final : public host::AddressEntry {
 public:
  FakeAddressEntry(CallRecorder& recorder, ListsData lists, const FakeAddressEntryData& data)
      : recorder_(recorder), lifetime_(recorder), lists_(std::move(lists)), data_(data) {}

  int DisplayType() override {
    Log(L"DisplayType");
    return data_.display_type;
  }
  std::wstring Name() override {
    Log(L"Name");
    return data_.name;
  }
  std::wstring ID() override {
    Log(L"ID");
    return data_.id;
  }
  std::optional<std::wstring> MobileTelephoneNumber() override {
    Log(L"Fields(" + std::to_wstring(host::kPrMobileTelephoneNumber) + L")");
    return data_.mobile;
  }
  std::unique_ptr<host::AddressEntries> Members() override;

 private:
  void Log(const std::wstring& call) {
    recorder_.Record(L"AddressEntry(" + data_.id + L")." + call);
  }

  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  ListsData lists_;
  const FakeAddressEntryData& data_;
};

class FakeAddressEntries final : public host::AddressEntries {
 public:
  FakeAddressEntries(CallRecorder& recorder, ListsData lists,
                     const std::vector<FakeAddressEntryData>& entries, std::wstring owner)
      : recorder_(recorder),
        lifetime_(recorder),
        lists_(std::move(lists)),
        entries_(entries),
        owner_(std::move(owner)) {}

  std::unique_ptr<host::AddressEntry> GetFirst() override {
    Log(L"GetFirst");
    cursor_ = 0;
    return At(cursor_);
  }
  std::unique_ptr<host::AddressEntry> GetNext() override {
    Log(L"GetNext");
    return At(++cursor_);
  }
  int Count() override {
    Log(L"Count");
    return static_cast<int>(entries_.size());
  }
  const std::vector<FakeAddressEntryData>& entries() const noexcept { return entries_; }
  const std::wstring& owner() const noexcept { return owner_; }

  std::unique_ptr<host::AddressEntry> Item(int index) override {
    Log(L"Item(" + std::to_wstring(index) + L")");
    index -= lists_->base;
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) NotFound();
    if (entries_[static_cast<std::size_t>(index)].nothing) return nullptr;
    return At(static_cast<std::size_t>(index));
  }

 private:
  std::unique_ptr<host::AddressEntry> At(std::size_t index) {
    if (index >= entries_.size()) return nullptr;
    return std::make_unique<FakeAddressEntry>(recorder_, lists_, entries_[index]);
  }
  void Log(const std::wstring& call) {
    recorder_.Record(L"AddressEntries(" + owner_ + L")." + call);
  }

  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  ListsData lists_;
  const std::vector<FakeAddressEntryData>& entries_;
  std::wstring owner_;
  std::size_t cursor_ = 0;
};

std::unique_ptr<host::AddressEntries> FakeAddressEntry::Members() {
  Log(L"Members");
  return std::make_unique<FakeAddressEntries>(recorder_, lists_, data_.members, data_.id);
}

class FakeAddressTable final : public host::AddressTable {
 public:
  FakeAddressTable(CallRecorder& recorder, const FakeAddressEntries& entries,
                   std::optional<std::size_t> fails_after)
      : recorder_(recorder),
        lifetime_(recorder),
        entries_(entries.entries()),
        owner_(entries.owner()),
        fails_after_(fails_after) {}

  std::vector<host::AddressRow> NextRows(int count) override {
    recorder_.Record(L"MAPITable(" + owner_ + L").GetRows(" + std::to_wstring(count) + L")");
    if (fails_after_ && next_ >= *fails_after_) NotFound();
    std::vector<host::AddressRow> rows;
    for (; next_ < entries_.size() && rows.size() < static_cast<std::size_t>(count); ++next_) {
      const FakeAddressEntryData& entry = entries_[next_];
      rows.push_back({entry.display_type, entry.name, entry.id, entry.mobile});
    }
    return rows;
  }

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  const std::vector<FakeAddressEntryData>& entries_;
  std::wstring owner_;
  std::optional<std::size_t> fails_after_;
  std::size_t next_ = 0;
};

class FakeAddressList final : public host::AddressList {
 public:
  FakeAddressList(CallRecorder& recorder, ListsData lists, const FakeAddressListData& data)
      : recorder_(recorder), lifetime_(recorder), lists_(std::move(lists)), data_(data) {}

  std::wstring Name() override {
    recorder_.Record(L"AddressList(" + data_.name + L").Name");
    return data_.name;
  }
  std::unique_ptr<host::AddressEntries> Entries() override {
    recorder_.Record(L"AddressList(" + data_.name + L").AddressEntries");
    return std::make_unique<FakeAddressEntries>(recorder_, lists_, data_.entries, data_.name);
  }

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  ListsData lists_;
  const FakeAddressListData& data_;
};

class FakeAddressLists final : public host::AddressLists {
 public:
  FakeAddressLists(CallRecorder& recorder, ListsData lists)
      : recorder_(recorder), lifetime_(recorder), lists_(std::move(lists)) {}

  int Count() override {
    recorder_.Record(L"AddressLists.Count");
    return static_cast<int>(lists_->lists.size());
  }
  std::unique_ptr<host::AddressList> Item(int index) override {
    recorder_.Record(L"AddressLists.Item(" + std::to_wstring(index) + L")");
    index -= lists_->base;
    if (index < 0 || static_cast<std::size_t>(index) >= lists_->lists.size()) NotFound();
    return std::make_unique<FakeAddressList>(recorder_, lists_,
                                             lists_->lists[static_cast<std::size_t>(index)]);
  }

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  ListsData lists_;
};

}  // namespace

FakeItemData Contact(std::wstring entry_id, std::wstring file_as, std::wstring mobile) {
  return {.kind = host::Item::Kind::Contact,
          .entry_id = std::move(entry_id),
          .file_as = std::move(file_as),
          .mobile = std::move(mobile)};
}

FakeItemData DistList(std::wstring entry_id, std::wstring dl_name,
                      std::vector<std::vector<std::uint8_t>> members) {
  return {.kind = host::Item::Kind::DistributionList,
          .entry_id = std::move(entry_id),
          .dl_name = std::move(dl_name),
          .members = std::move(members)};
}

FakeItemData OtherItem(std::wstring entry_id) {
  return {.kind = host::Item::Kind::Other, .entry_id = std::move(entry_id)};
}

std::vector<std::uint8_t> Bytes(std::wstring_view hex) {
  if (hex.size() % 2 != 0) throw std::invalid_argument("an odd number of hexadecimal digits");
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(HexDigit(hex[i]) * 16 + HexDigit(hex[i + 1])));
  }
  return bytes;
}

std::vector<std::uint8_t> ContactMember(std::wstring_view entry_id) {
  return Bytes(std::wstring(kContactEntryPrefix) + std::wstring(entry_id));
}

std::shared_ptr<FakeFolderData> ContactFolder(
    std::wstring name, std::vector<FakeItemData> items,
    std::vector<std::shared_ptr<FakeFolderData>> folders) {
  return std::make_shared<FakeFolderData>(FakeFolderData{.name = std::move(name),
                                                         .default_item_type = host::kOlContactItem,
                                                         .items = std::move(items),
                                                         .folders = std::move(folders)});
}

std::shared_ptr<FakeFolderData> MailFolder(std::wstring name,
                                           std::vector<std::shared_ptr<FakeFolderData>> folders) {
  return std::make_shared<FakeFolderData>(FakeFolderData{.name = std::move(name),
                                                         .default_item_type = host::kOlMailItem,
                                                         .folders = std::move(folders)});
}

FakeItem::FakeItem(CallRecorder& recorder, FakeItemData data)
    : recorder_(recorder), lifetime_(recorder), data_(std::move(data)) {}

host::Item::Kind FakeItem::GetKind() {
  recorder_.Record(L"Item(" + data_.entry_id + L").Kind");
  return data_.kind;
}

std::wstring FakeItem::Read(const wchar_t* property, const std::wstring& value) {
  recorder_.Record(L"Item(" + data_.entry_id + L")." + property);
  return value;
}

std::wstring FakeItem::EntryID() { return Read(L"EntryID", data_.entry_id); }

std::wstring FakeItem::FileAs() { return Read(L"FileAs", data_.file_as); }

std::wstring FakeItem::MobileTelephoneNumber() {
  return Read(L"MobileTelephoneNumber", data_.mobile);
}

std::wstring FakeItem::DLName() { return Read(L"DLName", data_.dl_name); }

FakeStoreNamespace::FakeStoreNamespace(CallRecorder& recorder,
                                       std::vector<std::shared_ptr<FakeFolderData>> stores)
    : FakeNamespace(recorder, L"Sales Desk"), stores_(std::move(stores)) {}

std::unique_ptr<host::FolderEnumerator> FakeStoreNamespace::TopLevelFolders() {
  recorder_.Record(L"Namespace.Folders");
  return std::make_unique<FakeStores>(recorder_, stores_);
}

std::unique_ptr<host::Item> FakeStoreNamespace::GetItemFromID(const std::wstring& entry_id) {
  recorder_.Record(L"Namespace.GetItemFromID(" + entry_id + L")");
  for (const auto& store : stores_) {
    if (const FakeItemData* found = FindItem(*store, entry_id)) {
      return std::make_unique<FakeItem>(recorder_, *found);
    }
  }
  NotFound();
}

FakeAddressEntryData MailUser(std::wstring name, std::wstring id,
                              std::optional<std::wstring> mobile) {
  return {
      .display_type = 0, .name = std::move(name), .id = std::move(id), .mobile = std::move(mobile)};
}

FakeAddressEntryData GalList(std::wstring name, std::wstring id,
                             std::vector<FakeAddressEntryData> members) {
  return {.display_type = 1,
          .name = std::move(name),
          .id = std::move(id),
          .members = std::move(members)};
}

std::function<std::unique_ptr<host::AddressLists>()> FakeAddressListsMaker(
    CallRecorder& recorder, std::vector<FakeAddressListData> lists, int base) {
  auto data = std::make_shared<const FakeAddressBook>(FakeAddressBook{std::move(lists), base});
  return [&recorder, data] { return std::make_unique<FakeAddressLists>(recorder, data); };
}

std::function<std::unique_ptr<host::AddressTable>(host::AddressEntries&)> FakeAddressTableMaker(
    CallRecorder& recorder, std::optional<std::size_t> fails_after) {
  return [&recorder, fails_after](host::AddressEntries& entries) {
    const auto* fake = dynamic_cast<const FakeAddressEntries*>(&entries);
    recorder.Record(L"CreateObject(Redemption.MAPITable)");
    if (fake == nullptr) throw host::HostError(kEInvalidArg, L"Not entries of this host.");
    return std::make_unique<FakeAddressTable>(recorder, *fake, fails_after);
  };
}

void FakeSafeDistList::SetItem(host::Item& distribution_list) {
  const auto* item = dynamic_cast<const FakeItem*>(&distribution_list);
  recorder_.Record(L"SafeDistList.Item=" + (item ? item->data().entry_id : L"(not a fake)"));
  if (item == nullptr) throw host::HostError(kEInvalidArg, L"Not an item of this host.");
  members_ = item->data().members;
}

std::uint32_t FakeSafeDistList::GetIDsFromNames(const std::wstring& property_set,
                                                std::uint32_t id) {
  recorder_.Record(L"SafeDistList.GetIDsFromNames(" + property_set + L"," + std::to_wstring(id) +
                   L")");
  return property_set == kAddressPropertySet && id == kMembersId ? kFakeMembersPropertyTag
                                                                 : kOtherPropertyTag;
}

std::vector<std::vector<std::uint8_t>> FakeSafeDistList::BinaryFields(std::uint32_t tag) {
  recorder_.Record(L"SafeDistList.Fields(" + std::to_wstring(tag) + L")");
  if (tag != (kFakeMembersPropertyTag | 0x1102U)) NotFound();
  return members_;
}

}  // namespace parvel::fakes
