// The contacts picker against a large address book: listing the Global
// Address List, and handing a large selection (with distribution lists) to a
// large compose list. The host is synthetic: entries are made on demand, so
// the figures are the picker's own cost.

#include <benchmark/benchmark.h>

#include <cwchar>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/compose_presenter.h"
#include "dialogs/contacts_presenter.h"
#include "host/session.h"
#include "support/fake_address_book.h"
#include "support/fake_redemption.h"
#include "support/memory_registry.h"

namespace {

using namespace parvel;

constexpr std::wstring_view kPrefix = L"00000000C091ADD3519DCF11A4A900AA0047FAA4C3";
constexpr int kListEvery = 100;   // one item in this many is a distribution list
constexpr int kListMembers = 10;  // the contacts that follow it

std::wstring ContactId(int index) {
  wchar_t text[9];
  std::swprintf(text, 9, L"%08X", static_cast<unsigned>(index));
  return text;
}

[[noreturn]] void Unsupported() { throw host::HostError(-1, L"not offered by this host"); }

// --- The Global Address List --------------------------------------------------------

class GalEntry final : public host::AddressEntry {
 public:
  explicit GalEntry(int index) : index_(index) {}
  // Mostly mail users, every 50th a list, every 10th user without a mobile.
  int DisplayType() override { return index_ % 50 == 0 ? 1 : 0; }
  std::wstring Name() override { return L"Person " + std::to_wstring(index_); }
  std::wstring ID() override { return L"GAL" + ContactId(index_); }
  std::optional<std::wstring> MobileTelephoneNumber() override {
    if (index_ % 10 == 1) return std::nullopt;
    return L"021 " + std::to_wstring(index_);
  }
  std::unique_ptr<host::AddressEntries> Members() override { Unsupported(); }

 private:
  int index_;
};

class GalEntries final : public host::AddressEntries {
 public:
  explicit GalEntries(int count) : count_(count) {}
  std::unique_ptr<host::AddressEntry> GetFirst() override {
    next_ = 0;
    return GetNext();
  }
  std::unique_ptr<host::AddressEntry> GetNext() override {
    if (next_ >= count_) return nullptr;
    return std::make_unique<GalEntry>(next_++);
  }
  int Count() override { return count_; }
  std::unique_ptr<host::AddressEntry> Item(int index) override {
    return std::make_unique<GalEntry>(index);
  }

 private:
  int count_;
  int next_ = 0;
};

// The same entries as MAPITable rows.
class GalTable final : public host::AddressTable {
 public:
  explicit GalTable(int count) : count_(count) {}
  std::vector<host::AddressRow> NextRows(int count) override {
    std::vector<host::AddressRow> rows;
    for (; next_ < count_ && static_cast<int>(rows.size()) < count; ++next_) {
      GalEntry entry(next_);
      rows.push_back({.display_type = entry.DisplayType(),
                      .name = entry.Name(),
                      .id = entry.ID(),
                      .mobile = entry.MobileTelephoneNumber()});
    }
    return rows;
  }

 private:
  int count_;
  int next_ = 0;
};

class Gal final : public host::AddressList {
 public:
  explicit Gal(int count) : count_(count) {}
  std::wstring Name() override { return L"Global Address List"; }
  std::unique_ptr<host::AddressEntries> Entries() override {
    return std::make_unique<GalEntries>(count_);
  }

 private:
  int count_;
};

class GalLists final : public host::AddressLists {
 public:
  explicit GalLists(int count) : count_(count) {}
  int Count() override { return 1; }
  std::unique_ptr<host::AddressList> Item(int) override { return std::make_unique<Gal>(count_); }

 private:
  int count_;
};

// --- A contact folder with distribution lists ------------------------------------------

// Item i is a distribution list when i is a multiple of kListEvery, whose
// members are the contacts i+1 ... i+kListMembers; otherwise a contact.
class FolderItem final : public host::Item {
 public:
  explicit FolderItem(int index) : index_(index) {}
  Kind GetKind() override {
    return index_ % kListEvery == 0 ? Kind::DistributionList : Kind::Contact;
  }
  std::wstring EntryID() override { return ContactId(index_); }
  std::wstring FileAs() override { return L"Contact\r\n" + std::to_wstring(index_); }
  std::wstring MobileTelephoneNumber() override { return L"021 " + std::to_wstring(index_); }
  std::wstring DLName() override { return L"List " + std::to_wstring(index_); }
  int index() const noexcept { return index_; }

 private:
  int index_;
};

class FolderItems final : public host::ItemEnumerator {
 public:
  explicit FolderItems(int count) : count_(count) {}
  std::unique_ptr<host::Item> Next() override {
    if (next_ >= count_) return nullptr;
    return std::make_unique<FolderItem>(next_++);
  }

 private:
  int count_;
  int next_ = 0;
};

// The same items as Folder.GetTable rows.
class FolderTable final : public host::ContactTable {
 public:
  explicit FolderTable(int count) : count_(count) {}
  std::vector<host::ContactRow> NextRows(int count) override {
    std::vector<host::ContactRow> rows;
    for (; next_ < count_ && static_cast<int>(rows.size()) < count; ++next_) {
      FolderItem item(next_);
      const bool list = item.GetKind() == host::Item::Kind::DistributionList;
      rows.push_back({.entry_id = item.EntryID(),
                      .message_class = list ? L"IPM.DistList" : L"IPM.Contact",
                      .file_as = list ? item.DLName() : item.FileAs(),
                      .mobile = list ? std::wstring() : item.MobileTelephoneNumber()});
    }
    return rows;
  }

 private:
  int count_;
  int next_ = 0;
};

class ContactsFolder final : public host::Folder {
 public:
  ContactsFolder(int count, bool tables) : count_(count), tables_(tables) {}
  int DefaultItemType() override { return host::kOlContactItem; }
  std::wstring Name() override { return L"Contacts"; }
  int FolderCount() override { return 0; }
  std::unique_ptr<host::Folder> FolderAt(int) override { Unsupported(); }
  std::unique_ptr<host::ItemEnumerator> Items() override {
    return std::make_unique<FolderItems>(count_);
  }
  std::unique_ptr<host::ContactTable> Table() override {
    if (!tables_) Unsupported();
    return std::make_unique<FolderTable>(count_);
  }

 private:
  int count_;
  bool tables_;
};

class OneStore final : public host::FolderEnumerator {
 public:
  OneStore(int count, bool tables) : count_(count), tables_(tables) {}
  std::unique_ptr<host::Folder> Next() override {
    if (done_) return nullptr;
    done_ = true;
    return std::make_unique<StoreFolder>(count_, tables_);
  }

 private:
  class StoreFolder final : public host::Folder {
   public:
    StoreFolder(int count, bool tables) : count_(count), tables_(tables) {}
    int DefaultItemType() override { return host::kOlMailItem; }
    std::wstring Name() override { return L"Mailbox"; }
    int FolderCount() override { return 1; }
    std::unique_ptr<host::Folder> FolderAt(int) override {
      return std::make_unique<ContactsFolder>(count_, tables_);
    }
    std::unique_ptr<host::ItemEnumerator> Items() override { Unsupported(); }
    std::unique_ptr<host::ContactTable> Table() override { Unsupported(); }

   private:
    int count_;
    bool tables_;
  };

  int count_;
  bool tables_;
  bool done_ = false;
};

class StoreNamespace final : public host::Namespace {
 public:
  StoreNamespace(int count, bool tables) : count_(count), tables_(tables) {}
  std::wstring CurrentUserName() override { return L"Bench"; }
  std::unique_ptr<host::FolderEnumerator> TopLevelFolders() override {
    return std::make_unique<OneStore>(count_, tables_);
  }
  std::unique_ptr<host::Item> GetItemFromID(const std::wstring& entry_id) override {
    return std::make_unique<FolderItem>(std::stoi(entry_id, nullptr, 16));
  }

 private:
  int count_;
  bool tables_;
};

class MemberList final : public host::SafeDistList {
 public:
  void SetItem(host::Item& item) override { list_ = dynamic_cast<FolderItem&>(item).index(); }
  std::uint32_t GetIDsFromNames(const std::wstring&, std::uint32_t) override { return 0x80550000; }
  std::vector<std::vector<std::uint8_t>> BinaryFields(std::uint32_t) override {
    std::vector<std::vector<std::uint8_t>> members;
    for (int member = list_ + 1; member <= list_ + kListMembers; ++member) {
      const std::wstring hex = std::wstring(kPrefix) + ContactId(member);
      std::vector<std::uint8_t> bytes;
      for (std::size_t i = 0; i < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
      }
      members.push_back(std::move(bytes));
    }
    return members;
  }

 private:
  int list_ = 0;
};

class HexUtils final : public host::MapiUtils {
 public:
  void DeliverNow() override {}
  void Cleanup() override {}
  std::wstring HrArrayToString(const std::vector<std::uint8_t>& bytes) override {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (const std::uint8_t byte : bytes) {
      hex.push_back(kDigits[byte >> 4]);
      hex.push_back(kDigits[byte & 0xFU]);
    }
    return hex;
  }
};

class SyntheticRedemption final : public host::Redemption {
 public:
  SyntheticRedemption(int gal_entries, bool tables) : gal_entries_(gal_entries), tables_(tables) {}
  // Creating one is how the session learns that Redemption is there.
  std::unique_ptr<host::SafeMailItem> CreateSafeMailItem() override {
    return std::make_unique<fakes::FakeSafeMailItem>(mails_);
  }
  std::unique_ptr<host::MapiUtils> CreateMapiUtils() override {
    return std::make_unique<HexUtils>();
  }
  std::unique_ptr<host::AddressLists> CreateAddressLists() override {
    return std::make_unique<GalLists>(gal_entries_);
  }
  std::unique_ptr<host::SafeDistList> CreateSafeDistList() override {
    return std::make_unique<MemberList>();
  }
  std::unique_ptr<host::AddressTable> CreateAddressTable(host::AddressEntries&) override {
    if (!tables_) Unsupported();
    return std::make_unique<GalTable>(gal_entries_);
  }

 private:
  fakes::CallRecorder mails_;
  int gal_entries_;
  bool tables_;
};

// --- The windows --------------------------------------------------------------------

// A window whose list views are owner-data, as on Windows: showing rows only
// takes their number.
class OwnerDataView final : public WindowView {
 public:
  void SetCaption(std::wstring_view) override {}
  std::wstring Text(std::wstring_view) const override { return {}; }
  void SetText(std::wstring_view, std::wstring_view) override {}
  std::optional<LocalDateTime> DateTime(std::wstring_view) const override { return {}; }
  void SetDateTime(std::wstring_view, const LocalDateTime&) override {}
  bool Checked(std::wstring_view) const override { return false; }
  void SetChecked(std::wstring_view, bool) override {}
  void SetEnabled(std::wstring_view, bool) override {}
  void SetVisible(std::wstring_view, bool) override {}
  bool Visible(std::wstring_view) const override { return true; }
  void Focus(std::wstring_view) override {}
  void SetBusy(bool) override {}
  void ShowRows(std::wstring_view, const RecipientList& list) override { shown = list.Count(); }
  void ShowAppendedRows(std::wstring_view, const RecipientList& list) override {
    shown = list.Count();
  }
  std::vector<std::size_t> SelectedRows(std::wstring_view) const override { return selected; }
  void ClearList(std::wstring_view) override { items.clear(); }
  void AddListItem(std::wstring_view, std::wstring_view text, int data) override {
    items.push_back({std::wstring(text), data});
  }
  std::size_t ListCount(std::wstring_view) const override { return items.size(); }
  ListItem ListItemAt(std::wstring_view, std::size_t index) const override {
    return items.at(index);
  }
  std::optional<std::size_t> ListIndex(std::wstring_view) const override { return std::nullopt; }
  void SetListIndex(std::wstring_view, std::size_t) override {}
  void Close() override {}

  std::size_t shown = 0;
  std::vector<std::size_t> selected;
  std::vector<ListItem> items;
};

class NoMessages final : public MessageBoxes {
 public:
  void Show(std::wstring_view, std::wstring_view text, MessageIcon) override {
    throw std::runtime_error(std::string(text.begin(), text.end()));
  }
  bool Ask(std::wstring_view, std::wstring_view text) override {
    throw std::runtime_error(std::string(text.begin(), text.end()));
  }
};

class ComposeOnly final : public AddinWindows {
 public:
  void ShowContactsPicker() override {}
  void ShowAccountWindow() override {}
  void ShowTemplatesWindow() override {}
  ComposePresenter& ComposeWindow() override { return *compose; }
  ComposePresenter* compose = nullptr;
};

// With tables, the host reads as Outlook 2007 and Redemption's MAPITable
// let it; without, the picker walks the entries one by one.
struct Picker {
  Picker(int entries, bool tables)
      : session(std::make_unique<SyntheticRedemption>(entries, tables)) {
    session.HoldNamespace(std::make_unique<StoreNamespace>(entries, tables));
  }

  Session session;
  OwnerDataView view;
  NoMessages messages;
  fakes::ScriptedPendingEvents events;
  ComposeOnly windows;
  ContactsPresenter picker{{.session = session,
                            .view = view,
                            .message_boxes = messages,
                            .pending_events = events,
                            .windows = windows}};
};

// Range 1 is 1 for the table read, 0 for the walk.
void BM_ListGlobalAddressList(benchmark::State& state) {
  const auto entries = static_cast<int>(state.range(0));
  const bool tables = state.range(1) != 0;
  Picker picker(entries, tables);
  for (auto _ : state) {
    picker.picker.OnGlobalAddressListOptionClicked();
    benchmark::DoNotOptimize(picker.view.shown);
  }
  // The walk lets events run before each entry, the table read after each
  // batch of rows.
  const long turns = tables ? (entries + 255) / 256 : entries;
  if (picker.events.runs != static_cast<long>(state.iterations()) * turns) {
    state.SkipWithError("pending events did not run as often as the listing reads");
  }
  state.counters["rows"] = static_cast<double>(picker.picker.Contacts().Count());
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * entries);
  state.SetComplexityN(entries);
}
BENCHMARK(BM_ListGlobalAddressList)
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A contact folder of n items listed, walked or read as a table.
void BM_ListContactFolder(benchmark::State& state) {
  const auto entries = static_cast<int>(state.range(0));
  Picker picker(entries, state.range(1) != 0);
  picker.picker.Load();
  for (auto _ : state) {
    picker.picker.ListFolder(L"Contacts", 1);
    benchmark::DoNotOptimize(picker.view.shown);
  }
  state.counters["rows"] = static_cast<double>(picker.picker.Contacts().Count());
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * entries);
}
BENCHMARK(BM_ListContactFolder)
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Every row of a folder of n items picked (one in kListEvery a distribution
// list of kListMembers contacts, all picked directly too) into a compose list
// of n rows, half of which are already among them.
void BM_SelectIntoComposeList(benchmark::State& state) {
  const auto entries = static_cast<int>(state.range(0));
  Picker picker(entries, false);
  picker.session.account_settings.default_contacts = L"Contacts";
  picker.picker.Load();
  picker.view.selected.resize(picker.picker.Contacts().Count());
  for (std::size_t i = 0; i < picker.view.selected.size(); ++i) picker.view.selected[i] = i;
  picker.picker.OnAddClicked();

  std::vector<RecipientEntry> present;
  for (int i = 0; i < entries; ++i) {
    present.push_back({.name = L"Present " + std::to_wstring(i),
                       .mobile = L"021",
                       .kind = RecipientEntry::Kind::Envelope,
                       .tag = i % 2 == 0 ? ContactId(i) : L"P" + std::to_wstring(i)});
  }
  MemoryRegistry registry;
  OwnerDataView compose_view;
  std::optional<ComposePresenter> compose;
  std::size_t added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    compose.reset();
    compose.emplace(ComposePorts{.session = picker.session,
                                 .view = compose_view,
                                 .message_boxes = picker.messages,
                                 .registry = registry,
                                 .clock = SystemClock(),
                                 .windows = picker.windows});
    picker.windows.compose = &*compose;
    compose->AddPickedRecipients(present);
    state.ResumeTiming();

    picker.picker.OnSelectClicked();
    added = compose->Recipients().Count() - present.size();
  }
  state.counters["added"] = static_cast<double>(added);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * entries);
  state.SetComplexityN(entries);
}
BENCHMARK(BM_SelectIntoComposeList)
    ->RangeMultiplier(10)
    ->Range(1000, 10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
