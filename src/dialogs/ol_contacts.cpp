#include "dialogs/ol_contacts.h"

#include <string>
#include <utility>
#include <vector>

#include "dialogs/ol_contacts_controls.h"
#include "dialogs/ol_main.h"
#include "platform/scope_exit.h"

namespace parvel {
namespace {

using namespace ol_contacts_controls;

constexpr std::wstring_view kNoAddressBookText =
    L"Your Outlook contact folders cannot be listed, because Outlook's address book cannot be "
    L"opened:\r\n\r\n";

RecipientList::Column ColumnAt(int column) {
  return column == 1 ? RecipientList::Column::Mobile : RecipientList::Column::Name;
}

RecipientEntry CopyOf(const RecipientEntry& row) {
  return {.Name = row.Name, .Mobile = row.Mobile, .Kind = row.Kind, .Tag = row.Tag};
}

}  // namespace

// The contact list as one listing fills it, until another listing takes it.
class OLContacts::Listing final : public ContactListSink {
 public:
  explicit Listing(OLContacts& owner) : owner_(owner), listing_(++owner.listing_) {}

  void Clear() override {
    if (Superseded()) return;
    owner_.lvw_.Clear();
    owner_.lvw_.SetSorted(false);
    owner_.ports_.view.ShowRows(klvw, owner_.lvw_);
  }

  void Append(std::vector<RecipientEntry> rows) override {
    if (Superseded()) return;
    // A sort the user asked for meanwhile moves rows: then all are redrawn.
    const bool sorted = owner_.lvw_.Sorted();
    if (sorted) owner_.TakeSelection(owner_.lvw_, klvw);
    owner_.lvw_.AddAll(std::move(rows));
    if (sorted) {
      owner_.ports_.view.ShowRows(klvw, owner_.lvw_);
    } else {
      owner_.ports_.view.ShowAppendedRows(klvw, owner_.lvw_);
    }
  }

  bool Superseded() const override { return listing_ != owner_.listing_; }

 private:
  OLContacts& owner_;
  unsigned listing_;
};

OLContacts::OLContacts(const OLContactsPorts& ports)
    : ports_(ports),
      address_book_({.session = ports.session,
                     .message_boxes = ports.message_boxes,
                     .pending_events = ports.pending_events}) {}

template <typename Step>
void OLContacts::Reporting(Step step) {
  try {
    step();
  } catch (const host::HostError& error) {
    ports_.message_boxes.Show(kOutlookErrorTitle, error.message());
  }
}

void OLContacts::Form_Load() {
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
  ports_.view.SetChecked(kOption1, true);
  lvw_.SetSortColumn(RecipientList::Column::Name);
  ports_.view.ShowRows(klvw, lvw_);
  ports_.view.ShowRows(klvw2, lvw2_);
  if (!IsGAL()) ports_.view.SetEnabled(kOption2, false);
  DoContacts();
}

void OLContacts::DoContacts() {
  {
    ports_.view.SetBusy(true);
    const ScopeExit idle([this] { ports_.view.SetBusy(false); });
    GetAllContactsFolders();
  }
  const std::wstring name = ports_.session.AccountSettings.DefaultContacts;
  const std::size_t count = ports_.view.ListCount(kList1);
  for (std::size_t index = 0; index < count; ++index) {
    const ListItem entry = ports_.view.ListItemAt(kList1, index);
    if (entry.text != name) continue;
    // Loading by position shows the highlighted folder even when several
    // folders share the name.
    selecting_default_ = true;
    ports_.view.SetListIndex(kList1, index);
    Loadfolder(name, entry.data);
    selecting_default_ = false;
    return;
  }
  Loadfolder(name, 0);
}

void OLContacts::GetAllContactsFolders() {
  std::vector<FolderListEntry> folders;
  Reporting([&] { address_book_.GetAllContactsFolders(folders); });
  ports_.view.ClearList(kList1);
  for (const FolderListEntry& folder : folders) {
    ports_.view.AddListItem(kList1, folder.Name, folder.Position);
  }
}

void OLContacts::Loadfolder(std::wstring_view fname, int tag) {
  Listing listing(*this);
  Reporting([&] { address_book_.Loadfolder(fname, tag, listing); });
}

bool OLContacts::IsGAL() {
  bool found = false;
  Reporting([&] { found = address_book_.IsGAL(); });
  return found;
}

void OLContacts::Option1_Click() { DoContacts(); }

void OLContacts::Option2_Click() {
  ports_.view.ClearList(kList1);
  ports_.view.AddListItem(kList1, kGlobalAddressListLabel, 0);
  Listing listing(*this);
  Reporting([&] { address_book_.LoadGlobalAddressList(listing); });
}

void OLContacts::List1_Click() {
  if (ports_.view.Checked(kOption2) || selecting_default_) return;
  const std::optional<std::size_t> index = ports_.view.ListIndex(kList1);
  if (!index) return;
  const ListItem folder = ports_.view.ListItemAt(kList1, *index);
  Loadfolder(folder.text, folder.data);
}

void OLContacts::Add() {
  // Unsorted, each row goes to the end at once; one sort follows.
  TakeSelection(lvw2_, klvw2);
  lvw2_.SetSorted(false);
  for (const std::size_t index : ports_.view.SelectedRows(klvw)) {
    if (index >= lvw_.Count()) continue;
    const RecipientEntry& row = lvw_.Rows()[index];
    if (!lvw2_.ContainsTag(row.Tag)) lvw2_.Add(CopyOf(row));
  }
  lvw2_.SetSorted(true);
  ports_.view.ShowRows(klvw2, lvw2_);
}

void OLContacts::Remove() {
  TakeSelection(lvw2_, klvw2);
  lvw2_.SetSorted(false);
  lvw2_.RemoveSelected();
  lvw2_.SetSorted(true);
  ports_.view.ShowRows(klvw2, lvw2_);
}

void OLContacts::Command1_Click() { Add(); }

void OLContacts::Command4_Click() { Remove(); }

void OLContacts::lvw_DblClick() { Add(); }

void OLContacts::lvw2_DblClick() { Remove(); }

void OLContacts::SortBy(RecipientList& list, std::wstring_view control, int column) {
  TakeSelection(list, control);
  list.SetSorted(false);
  list.SetSortColumn(ColumnAt(column));
  list.SetSorted(true);
  ports_.view.ShowRows(control, list);
}

// The user's selection, read from the list view before its rows move, so
// that the redraw keeps it on the same rows as the platform list does.
void OLContacts::TakeSelection(RecipientList& list, std::wstring_view control) {
  list.SelectOnly(ports_.view.SelectedRows(control));
}

void OLContacts::lvw_ColumnClick(int column) { SortBy(lvw_, klvw, column); }

void OLContacts::lvw2_ColumnClick(int column) { SortBy(lvw2_, klvw2, column); }

void OLContacts::Command2_Click() {
  std::vector<RecipientEntry> picked;
  picked.reserve(lvw2_.Count());
  for (const RecipientEntry& row : lvw2_.Rows()) {
    if (row.Kind != kKindDistribution) {
      picked.push_back(CopyOf(row));
    } else if (row.Mobile == kGlobalAddressListLabel) {
      Reporting([&] { address_book_.ExpandGALDistList(row, picked); });
    } else {
      address_book_.ExpandContactsDistList(row, picked);
    }
  }
  // The compose window skips every row whose Tag it already holds, including
  // the second of two members that several lists share.
  ports_.windows.ComposeWindow().AddPickedRecipients(std::move(picked));
  Unload();
}

void OLContacts::Command3_Click() { Unload(); }

void OLContacts::Unload() {
  ++listing_;
  ports_.view.Close();
}

}  // namespace parvel
