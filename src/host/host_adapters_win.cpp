#include "host/host_adapters_win.h"

#include <functional>
#include <string>
#include <utility>

#include "com/dispatch_win.h"
#include "com/event_advice_win.h"
#include "host/address_lists_win.h"
#include "host/extensibility_win.h"
#include "host/host_tables_win.h"
#include "host/outlook_model_win.h"

namespace parvel::host {
namespace {

using Microsoft::WRL::ComPtr;

constexpr int kOlContactClass = 40;
constexpr int kOlDistributionListClass = 69;

class MailItemAdapter final : public MailItem {
 public:
  explicit MailItemAdapter(com::Dispatch item) : item_(std::move(item)) {}
  const com::Dispatch& object() const noexcept { return item_; }

 private:
  com::Dispatch item_;
};

class ItemAdapter final : public Item {
 public:
  explicit ItemAdapter(com::Dispatch item) : item_(std::move(item)) {}
  const com::Dispatch& object() const noexcept { return item_; }

  Kind GetKind() override {
    switch (item_.Call(L"Class").ToInt()) {
      case kOlContactClass:
        return Kind::Contact;
      case kOlDistributionListClass:
        return Kind::DistributionList;
      default:
        return Kind::Other;
    }
  }
  std::wstring EntryID() override { return item_.Call(L"EntryID").ToText(); }
  std::wstring FileAs() override { return item_.Call(L"FileAs").ToText(); }
  std::wstring MobileTelephoneNumber() override {
    return item_.Call(L"MobileTelephoneNumber").ToText();
  }
  std::wstring DLName() override { return item_.Call(L"DLName").ToText(); }

 private:
  com::Dispatch item_;
};

class ItemEnumeratorAdapter final : public ItemEnumerator {
 public:
  explicit ItemEnumeratorAdapter(com::Dispatch items) : items_(std::move(items)) {}

  std::unique_ptr<Item> Next() override {
    com::Variant item = items_.Call(started_ ? L"GetNext" : L"GetFirst");
    started_ = true;
    if (item.IsNothing()) return nullptr;
    return std::make_unique<ItemAdapter>(com::Dispatch(item));
  }

 private:
  com::Dispatch items_;
  bool started_ = false;
};

class FolderAdapter final : public Folder {
 public:
  explicit FolderAdapter(com::Dispatch folder) : folder_(std::move(folder)) {}

  int DefaultItemType() override { return folder_.Call(L"DefaultItemType").ToInt(); }
  std::wstring Name() override { return folder_.Call(L"Name").ToText(); }
  int FolderCount() override { return folder_.Object(L"Folders").Call(L"Count").ToInt(); }
  std::unique_ptr<Folder> FolderAt(int index) override {
    return std::make_unique<FolderAdapter>(folder_.Object(L"Folders").Object(L"Item", {index}));
  }
  std::unique_ptr<ItemEnumerator> Items() override {
    return std::make_unique<ItemEnumeratorAdapter>(folder_.Object(L"Items"));
  }
  std::unique_ptr<ContactTable> Table() override { return MakeContactTable(folder_); }

 private:
  com::Dispatch folder_;
};

class FolderEnumeratorAdapter final : public FolderEnumerator {
 public:
  explicit FolderEnumeratorAdapter(com::Dispatch folders) : folders_(std::move(folders)) {}

  std::unique_ptr<Folder> Next() override {
    com::Variant folder = folders_.Call(started_ ? L"GetNext" : L"GetFirst");
    started_ = true;
    if (folder.IsNothing()) return nullptr;
    return std::make_unique<FolderAdapter>(com::Dispatch(folder));
  }

 private:
  com::Dispatch folders_;
  bool started_ = false;
};

class NamespaceAdapter final : public Namespace {
 public:
  explicit NamespaceAdapter(com::Dispatch space) : namespace_(std::move(space)) {}

  std::wstring CurrentUserName() override {
    return namespace_.Object(L"CurrentUser").Call(L"Name").ToText();
  }
  std::unique_ptr<FolderEnumerator> TopLevelFolders() override {
    return std::make_unique<FolderEnumeratorAdapter>(namespace_.Object(L"Folders"));
  }
  std::unique_ptr<Item> GetItemFromID(const std::wstring& entry_id) override {
    return std::make_unique<ItemAdapter>(namespace_.Object(L"GetItemFromID", {entry_id}));
  }

 private:
  com::Dispatch namespace_;
};

class CommandBarButtonAdapter final : public CommandBarButton {
 public:
  explicit CommandBarButtonAdapter(com::Dispatch button) : button_(std::move(button)) {}

  void SetCaption(const std::wstring& caption) override { button_.Put(L"Caption", caption); }
  void SetTag(const std::wstring& tag) override { button_.Put(L"Tag", tag); }
  void SetOnAction(const std::wstring& action) override { button_.Put(L"OnAction", action); }
  void SetEnabled(bool enabled) override { button_.Put(L"Enabled", enabled); }
  void SetVisible(bool visible) override { button_.Put(L"Visible", visible); }
  void SetStyle(int style) override { button_.Put(L"Style", style); }
  void SetPicture(ButtonPicture& picture) override { button_.Put(L"Picture", Of(picture)); }
  void SetMask(ButtonPicture& mask) override { button_.Put(L"Mask", Of(mask)); }
  void PasteFace() override { button_.Call(L"PasteFace"); }
  void Delete() override {
    click_.Unadvise();
    button_.Call(L"Delete");
  }

  // Released without Delete, the button lets go of its click without a call
  // into the host, which is exiting and drops its temporary button itself.
  void OnClick(std::function<void()> handler) override {
    click_.Advise(button_.get(), kIidCommandBarButtonEvents, kDispidCommandBarButtonClick,
                  std::move(handler));
  }

 private:
  static com::Variant Of(ButtonPicture& picture) {
    const auto* ole = dynamic_cast<OlePicture*>(&picture);
    if (ole == nullptr) throw HostError(E_INVALIDARG, L"not a picture of this platform");
    return com::Variant(static_cast<IDispatch*>(ole->get()));
  }

  com::Dispatch button_;
  com::EventAdvice click_;
};

class CommandBarAdapter final : public CommandBar {
 public:
  explicit CommandBarAdapter(com::Dispatch bar) : bar_(std::move(bar)) {}

  std::wstring Name() override { return bar_.Call(L"Name").ToText(); }
  void SetVisible(bool visible) override { bar_.Put(L"Visible", visible); }
  std::unique_ptr<CommandBarButton> AddControl(int type, std::optional<int> before,
                                               bool temporary) override {
    const com::Variant position = before ? com::Variant(*before) : com::Variant::Missing();
    return std::make_unique<CommandBarButtonAdapter>(
        bar_.Object(L"Controls")
            .Object(L"Add",
                    {type, com::Variant::Missing(), com::Variant::Missing(), position, temporary}));
  }

 private:
  com::Dispatch bar_;
};

class CommandBarsAdapter final : public CommandBars {
 public:
  explicit CommandBarsAdapter(com::Dispatch bars) : bars_(std::move(bars)) {}

  std::unique_ptr<CommandBar> Add(const std::wstring& name, int position, bool temporary) override {
    return std::make_unique<CommandBarAdapter>(
        bars_.Object(L"Add", {name, position, com::Variant::Missing(), temporary}));
  }
  int Count() override { return bars_.Call(L"Count").ToInt(); }
  std::unique_ptr<CommandBar> Item(int index) override {
    return std::make_unique<CommandBarAdapter>(bars_.Object(L"Item", {index}));
  }

 private:
  com::Dispatch bars_;
};

class ApplicationAdapter final : public Application {
 public:
  explicit ApplicationAdapter(com::Dispatch application) : application_(std::move(application)) {}

  std::unique_ptr<Namespace> GetNamespace(const std::wstring& type) override {
    return std::make_unique<NamespaceAdapter>(application_.Object(L"GetNamespace", {type}));
  }
  std::unique_ptr<MailItem> CreateItem(int item_type) override {
    return std::make_unique<MailItemAdapter>(application_.Object(L"CreateItem", {item_type}));
  }
  std::unique_ptr<CommandBars> ActiveExplorerCommandBars() override {
    return std::make_unique<CommandBarsAdapter>(
        application_.Object(L"ActiveExplorer").Object(L"CommandBars"));
  }
  // Outlook's explorer answers IOleWindow, as its inspectors do.
  std::uintptr_t ActiveExplorerWindow() override {
    const com::Dispatch explorer = application_.Object(L"ActiveExplorer");
    ComPtr<IOleWindow> window;
    HWND hwnd = nullptr;
    if (!explorer || FAILED(explorer.get()->QueryInterface(IID_PPV_ARGS(&window))) ||
        FAILED(window->GetWindow(&hwnd))) {
      return 0;
    }
    return reinterpret_cast<std::uintptr_t>(hwnd);
  }
  std::unique_ptr<OutlookObjectModel> ObjectModel() override {
    return MakeOutlookObjectModel(ComPtr<IDispatch>(application_.get()));
  }

 private:
  com::Dispatch application_;
};

class AddInInstanceAdapter final : public AddInInstance {
 public:
  explicit AddInInstanceAdapter(com::Dispatch instance) : instance_(std::move(instance)) {}
  std::wstring ProgId() override { return instance_.Call(L"ProgId").ToText(); }

 private:
  com::Dispatch instance_;
};

class SafeMailItemAdapter final : public SafeMailItem {
 public:
  explicit SafeMailItemAdapter(com::Dispatch item) : item_(std::move(item)) {}

  void SetItem(MailItem& item) override {
    const auto* adapter = dynamic_cast<MailItemAdapter*>(&item);
    if (adapter == nullptr) throw HostError(E_INVALIDARG, L"not a mail item of this host");
    item_.Put(L"Item", com::Variant(adapter->object().get()));
  }
  void SetTo(const std::wstring& to) override { item_.Put(L"To", to); }
  void AddRecipient(const std::wstring& address) override {
    item_.Object(L"Recipients").Call(L"Add", {address});
  }
  void SetSubject(const std::wstring& subject) override { item_.Put(L"Subject", subject); }
  void SetBody(const std::wstring& body) override { item_.Put(L"Body", body); }
  void Save() override { item_.Call(L"Save"); }
  void Send() override { item_.Call(L"Send"); }

 private:
  com::Dispatch item_;
};

class MapiUtilsAdapter final : public MapiUtils {
 public:
  explicit MapiUtilsAdapter(com::Dispatch utils) : utils_(std::move(utils)) {}

  void DeliverNow() override { utils_.Call(L"DeliverNow"); }
  void Cleanup() override { utils_.Call(L"Cleanup"); }
  std::wstring HrArrayToString(const std::vector<std::uint8_t>& bytes) override {
    return utils_.Call(L"HrArrayToString", {com::Variant(bytes)}).ToText();
  }

 private:
  com::Dispatch utils_;
};

class AddressEntryAdapter final : public AddressEntry {
 public:
  explicit AddressEntryAdapter(com::Dispatch entry) : entry_(std::move(entry)) {}

  int DisplayType() override { return entry_.Call(L"DisplayType").ToInt(); }
  std::wstring Name() override { return entry_.Call(L"Name").ToText(); }
  std::wstring ID() override { return entry_.Call(L"ID").ToText(); }
  std::optional<std::wstring> MobileTelephoneNumber() override {
    const com::Variant value = entry_.Call(L"Fields", {static_cast<int>(kPrMobileTelephoneNumber)});
    if (value.IsNullOrEmpty()) return std::nullopt;
    return value.ToText();
  }
  std::unique_ptr<AddressEntries> Members() override;

 private:
  com::Dispatch entry_;
};

using AddressEntriesAdapter = AddressEntriesOf<AddressEntryAdapter>;

std::unique_ptr<AddressEntries> AddressEntryAdapter::Members() {
  return std::make_unique<AddressEntriesAdapter>(entry_.Object(L"Members"));
}

class SafeDistListAdapter final : public SafeDistList {
 public:
  explicit SafeDistListAdapter(com::Dispatch list) : list_(std::move(list)) {}

  void SetItem(Item& distribution_list) override {
    const auto* adapter = dynamic_cast<ItemAdapter*>(&distribution_list);
    if (adapter == nullptr) throw HostError(E_INVALIDARG, L"not an item of this host");
    list_.Put(L"Item", com::Variant(adapter->object().get()));
  }
  std::uint32_t GetIDsFromNames(const std::wstring& property_set, std::uint32_t id) override {
    return static_cast<std::uint32_t>(
        list_.Call(L"GetIDsFromNames", {property_set, static_cast<int>(id)}).ToInt());
  }
  std::vector<std::vector<std::uint8_t>> BinaryFields(std::uint32_t tag) override {
    return list_.Call(L"Fields", {static_cast<int>(tag)}).ToByteArrays();
  }

 private:
  com::Dispatch list_;
};

com::Dispatch CreateByProgId(const wchar_t* prog_id) {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(prog_id, &clsid);
  if (FAILED(hr)) com::ThrowComError(hr, prog_id);
  ComPtr<IDispatch> object;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&object));
  if (FAILED(hr)) com::ThrowComError(hr, prog_id);
  return com::Dispatch(std::move(object));
}

class RedemptionAdapter final : public Redemption {
 public:
  std::unique_ptr<SafeMailItem> CreateSafeMailItem() override {
    return std::make_unique<SafeMailItemAdapter>(CreateByProgId(L"Redemption.SafeMailItem"));
  }
  std::unique_ptr<MapiUtils> CreateMapiUtils() override {
    return std::make_unique<MapiUtilsAdapter>(CreateByProgId(L"Redemption.MAPIUtils"));
  }
  std::unique_ptr<AddressLists> CreateAddressLists() override {
    return std::make_unique<AddressListsOf<AddressEntryAdapter>>(
        CreateByProgId(L"redemption.addresslists"));
  }
  std::unique_ptr<SafeDistList> CreateSafeDistList() override {
    return std::make_unique<SafeDistListAdapter>(CreateByProgId(L"Redemption.SafeDistList"));
  }
  std::unique_ptr<AddressTable> CreateAddressTable(AddressEntries& entries) override {
    const auto* adapter = dynamic_cast<AddressEntriesAdapter*>(&entries);
    if (adapter == nullptr) throw HostError(E_INVALIDARG, L"not address entries of this host");
    return MakeAddressTable(CreateByProgId(L"Redemption.MAPITable"), adapter->object());
  }
};

}  // namespace

std::unique_ptr<Application> MakeApplication(ComPtr<IDispatch> application) {
  return std::make_unique<ApplicationAdapter>(com::Dispatch(std::move(application)));
}

std::unique_ptr<Item> MakeItem(ComPtr<IDispatch> item) {
  return std::make_unique<ItemAdapter>(com::Dispatch(std::move(item)));
}

ComPtr<IDispatch> ItemObject(Item& item) {
  const auto* adapter = dynamic_cast<ItemAdapter*>(&item);
  if (adapter == nullptr) throw HostError(E_INVALIDARG, L"not an item of this host");
  return ComPtr<IDispatch>(adapter->object().get());
}

std::unique_ptr<AddInInstance> MakeAddInInstance(ComPtr<IDispatch> instance) {
  return std::make_unique<AddInInstanceAdapter>(com::Dispatch(std::move(instance)));
}

std::unique_ptr<Redemption> MakeRedemption() { return std::make_unique<RedemptionAdapter>(); }

}  // namespace parvel::host
