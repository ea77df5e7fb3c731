#include "dialogs/contacts_presenter.h"

#include <string>
#include <utility>
#include <vector>

#include "dialogs/compose_presenter.h"
#include "dialogs/contacts_controls.h"
#include "platform/scope_exit.h"

namespace parvel {
namespace {

using namespace contacts_controls;

constexpr std::wstring_view kNoAddressBookText =
    L"Your Outlook contact folders cannot be listed, because Outlook's address book cannot be "
    L"opened:\r\n\r\n";

RecipientList::Column ColumnAt(int column) {
  return column == 1 ? RecipientList::Column::Mobile : RecipientList::Column::Name;
}

RecipientEntry CopyOf(const RecipientEntry& row) {
  return {.name = row.name, .mobile = row.mobile, .kind = row.kind, .tag = row.tag};
}

}  // namespace

// The contact list as one listing fills it, until another listing takes it.
class ContactsPresenter::Listing final : public ContactListSink {
 public:
  explicit Listing(ContactsPresenter& owner) : owner_(owner), listing_(++owner.listing_) {}

  void Clear() override {
    if (Superseded()) return;
    owner_.contacts_.Clear();
    owner_.contacts_.SetSorted(false);
    owner_.ports_.view.ShowRows(kContactList, owner_.contacts_);
  }

  void Append(std::vector<RecipientEntry> rows) override {
    if (Superseded()) return;
    // A sort the user asked for meanwhile moves rows: then all are redrawn.
    const bool sorted = owner_.contacts_.Sorted();
    if (sorted) owner_.TakeSelection(owner_.contacts_, kContactList);
    owner_.contacts_.AddAll(std::move(rows));
    if (sorted) {
      owner_.ports_.view.ShowRows(kContactList, owner_.contacts_);
    } else {
      owner_.ports_.view.ShowAppendedRows(kContactList, owner_.contacts_);
    }
  }

  bool Superseded() const override { return listing_ != owner_.listing_; }

 private:
  ContactsPresenter& owner_;
  unsigned listing_;
};

ContactsPresenter::ContactsPresenter(const ContactsPorts& ports)
    : ports_(ports),
      address_book_({.session = ports.session,
                     .message_boxes = ports.message_boxes,
                     .pending_events = ports.pending_events}) {}

template <typename Step>
void ContactsPresenter::Reporting(Step step) {
  try {
    step();
  } catch (const host::HostError& error) {
    ports_.message_boxes.Show(kOutlookErrorTitle, error.message());
  }
}

void ContactsPresenter::Load() {
  // The compose window could not open the address book as it loaded: asked
  // once more here, and when it fails again the user learns why the list is
  // empty.
  Session& session = ports_.session;
  if (session.HeldNamespace() == nullptr) {
    try {
      static_cast<void>(session.Namespace());
    } catch (const host::HostError& error) {
      ports_.message_boxes.Show(kOutlookErrorTitle,
                                std::wstring(kNoAddressBookText) + error.message(),
                                MessageIcon::Exclamation);
    }
  }
  ports_.view.SetChecked(kContactsOption, true);
  contacts_.SetSortColumn(RecipientList::Column::Name);
  ports_.view.ShowRows(kContactList, contacts_);
  ports_.view.ShowRows(kSelectedList, selected_);
  if (!HasGlobalAddressList()) ports_.view.SetEnabled(kGlobalAddressListOption, false);
  ShowContactFolders();
}

void ContactsPresenter::ShowContactFolders() {
  {
    ports_.view.SetBusy(true);
    const ScopeExit idle([this] { ports_.view.SetBusy(false); });
    ListContactFolders();
  }
  const std::wstring name = ports_.session.account_settings.default_contacts;
  const std::size_t count = ports_.view.ListCount(kFolderList);
  for (std::size_t index = 0; index < count; ++index) {
    const ListItem entry = ports_.view.ListItemAt(kFolderList, index);
    if (entry.text != name) continue;
    // Loading by position shows the highlighted folder even when several
    // folders share the name.
    selecting_default_ = true;
    ports_.view.SetListIndex(kFolderList, index);
    ListFolder(name, entry.data);
    selecting_default_ = false;
    return;
  }
  ListFolder(name, 0);
}

void ContactsPresenter::ListContactFolders() {
  std::vector<FolderListEntry> folders;
  Reporting([&] { address_book_.ListContactFolders(folders); });
  ports_.view.ClearList(kFolderList);
  for (const FolderListEntry& folder : folders) {
    ports_.view.AddListItem(kFolderList, folder.name, folder.position);
  }
}

void ContactsPresenter::ListFolder(std::wstring_view fname, int tag) {
  Listing listing(*this);
  Reporting([&] { address_book_.ListFolder(fname, tag, listing); });
}

bool ContactsPresenter::HasGlobalAddressList() {
  bool found = false;
  Reporting([&] { found = address_book_.HasGlobalAddressList(); });
  return found;
}

void ContactsPresenter::OnContactsOptionClicked() { ShowContactFolders(); }

void ContactsPresenter::OnGlobalAddressListOptionClicked() {
  // A second click (a double click, Space on the option) while the list is
  // read leaves that listing be: one started inside it would let no events
  // run until it had read the whole list.
  if (global_listing_ != nullptr && !global_listing_->Superseded()) return;
  ports_.view.ClearList(kFolderList);
  ports_.view.AddListItem(kFolderList, kGlobalAddressListLabel, 0);
  Listing listing(*this);
  const Listing* outer = std::exchange(global_listing_, &listing);
  const ScopeExit done([this, outer] { global_listing_ = outer; });
  Reporting([&] { address_book_.LoadGlobalAddressList(listing); });
}

void ContactsPresenter::OnFolderChosen() {
  if (ports_.view.Checked(kGlobalAddressListOption) || selecting_default_) return;
  const std::optional<std::size_t> index = ports_.view.ListIndex(kFolderList);
  if (!index) return;
  const ListItem folder = ports_.view.ListItemAt(kFolderList, *index);
  ListFolder(folder.text, folder.data);
}

void ContactsPresenter::Add() {
  // Unsorted, each row goes to the end at once; one sort follows.
  TakeSelection(selected_, kSelectedList);
  selected_.SetSorted(false);
  for (const std::size_t index : ports_.view.SelectedRows(kContactList)) {
    if (index >= contacts_.Count()) continue;
    const RecipientEntry& row = contacts_.Rows()[index];
    if (!selected_.ContainsTag(row.tag)) selected_.Add(CopyOf(row));
  }
  selected_.SetSorted(true);
  ports_.view.ShowRows(kSelectedList, selected_);
}

void ContactsPresenter::Remove() {
  TakeSelection(selected_, kSelectedList);
  selected_.SetSorted(false);
  selected_.RemoveSelected();
  selected_.SetSorted(true);
  ports_.view.ShowRows(kSelectedList, selected_);
}

void ContactsPresenter::OnAddClicked() { Add(); }

void ContactsPresenter::OnRemoveClicked() { Remove(); }

void ContactsPresenter::OnContactDoubleClicked() { Add(); }

void ContactsPresenter::OnSelectedDoubleClicked() { Remove(); }

void ContactsPresenter::SortBy(RecipientList& list, std::wstring_view control, int column) {
  TakeSelection(list, control);
  list.SetSorted(false);
  list.SetSortColumn(ColumnAt(column));
  list.SetSorted(true);
  ports_.view.ShowRows(control, list);
}

// The user's selection, read from the list view before its rows move, so
// that the redraw keeps it on the same rows as the platform list does.
void ContactsPresenter::TakeSelection(RecipientList& list, std::wstring_view control) {
  list.SelectOnly(ports_.view.SelectedRows(control));
}

void ContactsPresenter::OnContactsColumnClicked(int column) {
  SortBy(contacts_, kContactList, column);
}

void ContactsPresenter::OnSelectedColumnClicked(int column) {
  SortBy(selected_, kSelectedList, column);
}

void ContactsPresenter::OnSelectClicked() {
  std::vector<RecipientEntry> picked;
  picked.reserve(selected_.Count());
  for (const RecipientEntry& row : selected_.Rows()) {
    if (row.kind != RecipientEntry::Kind::Distribution) {
      picked.push_back(CopyOf(row));
    } else if (row.mobile == kGlobalAddressListLabel) {
      Reporting([&] { address_book_.ExpandGlobalDistList(row, picked); });
    } else {
      address_book_.ExpandContactsDistList(row, picked);
    }
  }
  // The compose window skips every row whose Tag it already holds, including
  // the second of two members that several lists share.
  ports_.windows.ComposeWindow().AddPickedRecipients(std::move(picked));
  Unload();
}

void ContactsPresenter::OnCancelClicked() { Unload(); }

void ContactsPresenter::Unload() {
  ++listing_;
  ports_.view.Close();
}

}  // namespace parvel
