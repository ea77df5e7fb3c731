#pragma once

// The operations the add-in needs from Outlook, its command bars and the
// Redemption library. The logic reaches the host only through these
// interfaces: on Windows they are late-bound IDispatch calls, in tests fakes.
// Every operation may throw HostError; the caller decides what that means.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_error.h"
#include "host/host_tables.h"

namespace parvel::host {

inline constexpr int kOlMailItem = 0;
inline constexpr int kOlContactItem = 2;  // DefaultItemType of a contacts folder
inline constexpr int kMsoControlButton = 1;
inline constexpr int kMsoBarTop = 1;
inline constexpr int kMsoButtonIconAndCaption = 3;
inline constexpr std::uint32_t kPrMobileTelephoneNumber = 0x3A1C001E;

// --- Outlook items --------------------------------------------------------

// A new mail item: opaque to the add-in, handed to the safe mail item.
class MailItem {
 public:
  virtual ~MailItem() = default;
};

// An item of a folder, or one found by entry ID.
class Item {
 public:
  enum class Kind { Contact, DistributionList, Other };
  virtual ~Item() = default;
  virtual Kind GetKind() = 0;
  virtual std::wstring EntryID() = 0;
  // Contact items.
  virtual std::wstring FileAs() = 0;
  virtual std::wstring MobileTelephoneNumber() = 0;
  // Distribution list items.
  virtual std::wstring DLName() = 0;
};

class ItemEnumerator {
 public:
  virtual ~ItemEnumerator() = default;
  // The next item in the host's order; nullptr after the last.
  virtual std::unique_ptr<Item> Next() = 0;
};

class Folder {
 public:
  virtual ~Folder() = default;
  virtual int DefaultItemType() = 0;
  virtual std::wstring Name() = 0;
  virtual int FolderCount() = 0;
  virtual std::unique_ptr<Folder> FolderAt(int index) = 0;  // index from 1
  virtual std::unique_ptr<ItemEnumerator> Items() = 0;
  // The folder's items as a table (Folder.GetTable); HostError where the
  // host has none.
  virtual std::unique_ptr<ContactTable> Table() = 0;
};

class FolderEnumerator {
 public:
  virtual ~FolderEnumerator() = default;
  virtual std::unique_ptr<Folder> Next() = 0;  // GetFirst, then GetNext; nullptr after the last
};

class Namespace {
 public:
  virtual ~Namespace() = default;
  virtual std::wstring CurrentUserName() = 0;  // CurrentUser.name
  virtual std::unique_ptr<FolderEnumerator> TopLevelFolders() = 0;
  virtual std::unique_ptr<Item> GetItemFromID(const std::wstring& entry_id) = 0;
};

// --- Office command bars --------------------------------------------------

// A picture the add-in made for a button (an OLE picture on Windows): opaque
// to the logic, handed to the button as it came.
class ButtonPicture {
 public:
  virtual ~ButtonPicture() = default;
};

class CommandBarButton {
 public:
  virtual ~CommandBarButton() = default;
  virtual void SetCaption(const std::wstring& caption) = 0;
  virtual void SetTag(const std::wstring& tag) = 0;
  virtual void SetOnAction(const std::wstring& action) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetStyle(int style) = 0;
  // Picture and Mask (Office XP and later): the face, and which of its pixels
  // are transparent (white in the mask). They touch no clipboard.
  virtual void SetPicture(ButtonPicture& picture) = 0;
  virtual void SetMask(ButtonPicture& mask) = 0;
  // Takes the face and its mask from the clipboard (every Office).
  virtual void PasteFace() = 0;
  virtual void Delete() = 0;
  // Routes the button's Click event to handler until the button is released.
  virtual void OnClick(std::function<void()> handler) = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar() = default;
  virtual std::wstring Name() = 0;
  virtual void SetVisible(bool visible) = 0;
  // Controls.Add(Type, , , Before, Temporary); before is omitted when empty.
  virtual std::unique_ptr<CommandBarButton> AddControl(int type, std::optional<int> before,
                                                       bool temporary) = 0;
};

class CommandBars {
 public:
  virtual ~CommandBars() = default;
  // Add(Name, Position, , Temporary): the menu-bar argument is left out.
  virtual std::unique_ptr<CommandBar> Add(const std::wstring& name, int position,
                                          bool temporary) = 0;
  virtual int Count() = 0;
  virtual std::unique_ptr<CommandBar> Item(int index) = 0;  // index from 1
};

// --- The application and the add-in instance ------------------------------

class OutlookObjectModel;

class Application {
 public:
  virtual ~Application() = default;
  virtual std::unique_ptr<Namespace> GetNamespace(const std::wstring& type) = 0;
  virtual std::unique_ptr<MailItem> CreateItem(int item_type) = 0;
  virtual std::unique_ptr<CommandBars> ActiveExplorerCommandBars() = 0;
  // The active explorer's top-level window as the platform names it (an HWND
  // on Windows), for placing the add-in's windows; 0 when the explorer does
  // not tell.
  virtual std::uintptr_t ActiveExplorerWindow() = 0;
  // Outlook's own object model for mails and address lists, through this
  // application (see host/outlook_model.h).
  virtual std::unique_ptr<OutlookObjectModel> ObjectModel() = 0;
};

class AddInInstance {
 public:
  virtual ~AddInInstance() = default;
  virtual std::wstring ProgId() = 0;
};

// --- Redemption -------------------------------------------------------------

class SafeMailItem {
 public:
  virtual ~SafeMailItem() = default;
  virtual void SetItem(MailItem& item) = 0;
  virtual void SetTo(const std::wstring& to) = 0;
  virtual void AddRecipient(const std::wstring& address) = 0;  // Recipients.Add
  virtual void SetSubject(const std::wstring& subject) = 0;
  virtual void SetBody(const std::wstring& body) = 0;
  virtual void Save() = 0;
  virtual void Send() = 0;
};

class MapiUtils {
 public:
  virtual ~MapiUtils() = default;
  virtual void DeliverNow() = 0;
  virtual void Cleanup() = 0;
  virtual std::wstring HrArrayToString(const std::vector<std::uint8_t>& bytes) = 0;
};

class AddressEntries;

class AddressEntry {
 public:
  virtual ~AddressEntry() = default;
  virtual int DisplayType() = 0;  // 0 a mail user, 1 a distribution list
  virtual std::wstring Name() = 0;
  virtual std::wstring ID() = 0;
  // Fields(PR_MOBILE_TELEPHONE_NUMBER): nullopt when the value is null.
  virtual std::optional<std::wstring> MobileTelephoneNumber() = 0;
  virtual std::unique_ptr<AddressEntries> Members() = 0;
};

class AddressEntries {
 public:
  virtual ~AddressEntries() = default;
  virtual std::unique_ptr<AddressEntry> GetFirst() = 0;  // nullptr when there is none
  virtual std::unique_ptr<AddressEntry> GetNext() = 0;
  virtual int Count() = 0;
  virtual std::unique_ptr<AddressEntry> Item(int index) = 0;  // index from 0
};

class AddressList {
 public:
  virtual ~AddressList() = default;
  virtual std::wstring Name() = 0;
  virtual std::unique_ptr<AddressEntries> Entries() = 0;  // AddressEntries
};

class AddressLists {
 public:
  virtual ~AddressLists() = default;
  virtual int Count() = 0;
  virtual std::unique_ptr<AddressList> Item(int index) = 0;  // index from 0
};

class SafeDistList {
 public:
  virtual ~SafeDistList() = default;
  virtual void SetItem(Item& distribution_list) = 0;
  virtual std::uint32_t GetIDsFromNames(const std::wstring& property_set, std::uint32_t id) = 0;
  virtual std::vector<std::vector<std::uint8_t>> BinaryFields(std::uint32_t tag) = 0;
};

// Creates Redemption objects by ProgID; each creation may fail (the library
// is not installed) with HostError.
class Redemption {
 public:
  virtual ~Redemption() = default;
  virtual std::unique_ptr<SafeMailItem> CreateSafeMailItem() = 0;
  virtual std::unique_ptr<MapiUtils> CreateMapiUtils() = 0;
  virtual std::unique_ptr<AddressLists> CreateAddressLists() = 0;
  virtual std::unique_ptr<SafeDistList> CreateSafeDistList() = 0;
  // A MAPITable over these entries, their columns set to the address row's.
  virtual std::unique_ptr<AddressTable> CreateAddressTable(AddressEntries& entries) = 0;
};

}  // namespace parvel::host
