#pragma once

#include <string_view>

#include "dialogs/command_map.h"
#include "dialogs/contacts_controls.h"
#include "host/session.h"
#include "recipients/pending_events.h"
#include "recipients/recipient_list.h"
#include "ui/addin_windows.h"
#include "ui/message_box.h"
#include "ui/window_view.h"
#include "workflows/address_book.h"

namespace parvel {

struct ContactsPorts {
  Session& session;
  WindowView& view;
  MessageBoxes& message_boxes;
  PendingEvents& pending_events;
  AddinWindows& windows;
};

// The contacts picker: the user lists a contact folder or the Global Address
// List, gathers entries in the "Currently selected" list and hands them to
// the compose window, distribution lists expanded into their members.
class ContactsPresenter final {
 public:
  explicit ContactsPresenter(const ContactsPorts& ports);
  ContactsPresenter(const ContactsPresenter&) = delete;
  ContactsPresenter& operator=(const ContactsPresenter&) = delete;

  void Load();
  // Contact-folder mode: the folder list, and the default folder highlighted
  // and listed.
  void ShowContactFolders();
  void ListContactFolders();
  void ListFolder(std::wstring_view fname, int tag);
  bool HasGlobalAddressList();

  void OnContactsOptionClicked();           // "Contacts"
  void OnGlobalAddressListOptionClicked();  // "Global Address List"
  void OnFolderChosen();
  void OnAddClicked();     // "Add  >>"
  void OnRemoveClicked();  // "Remove <<"
  void OnContactDoubleClicked();
  void OnSelectedDoubleClicked();
  void OnContactsColumnClicked(int column);
  void OnSelectedColumnClicked(int column);
  void OnSelectClicked();  // "&Select"
  void OnCancelClicked();  // "&Cancel", also the window's close box

  const RecipientList& Contacts() const noexcept { return contacts_; }
  const RecipientList& Selected() const noexcept { return selected_; }

 private:
  class Listing;

  void Add();
  void Remove();
  void SortBy(RecipientList& list, std::wstring_view control, int column);
  void TakeSelection(RecipientList& list, std::wstring_view control);
  void Unload();
  template <typename Step>
  void Reporting(Step step);

  ContactsPorts ports_;
  AddressBook address_book_;
  RecipientList contacts_;  // the contact list
  RecipientList selected_;  // the selected list
  bool selecting_default_ = false;
  // Moves on whenever the contact list is given to a new listing or the
  // window closes, so that a listing still letting events run stops.
  unsigned listing_ = 0;
  // The listing of the Global Address List while it runs.
  const Listing* global_listing_ = nullptr;
};

// The contacts picker's command map.
inline constexpr Command<ContactsPresenter> kContactsCommands[] = {
    {contacts_controls::kContactsOption, ControlEvent::Clicked,
     &ContactsPresenter::OnContactsOptionClicked},
    {contacts_controls::kGlobalAddressListOption, ControlEvent::Clicked,
     &ContactsPresenter::OnGlobalAddressListOptionClicked},
    {contacts_controls::kFolderList, ControlEvent::SelectionChanged,
     &ContactsPresenter::OnFolderChosen},
    {contacts_controls::kAddButton, ControlEvent::Clicked, &ContactsPresenter::OnAddClicked},
    {contacts_controls::kSelectButton, ControlEvent::Clicked, &ContactsPresenter::OnSelectClicked},
    {contacts_controls::kCancelButton, ControlEvent::Clicked, &ContactsPresenter::OnCancelClicked},
    {contacts_controls::kRemoveButton, ControlEvent::Clicked, &ContactsPresenter::OnRemoveClicked},
    {contacts_controls::kContactList, ControlEvent::DoubleClicked,
     &ContactsPresenter::OnContactDoubleClicked},
    {contacts_controls::kSelectedList, ControlEvent::DoubleClicked,
     &ContactsPresenter::OnSelectedDoubleClicked},
    {contacts_controls::kContactList, ControlEvent::ColumnClicked,
     &ContactsPresenter::OnContactsColumnClicked},
    {contacts_controls::kSelectedList, ControlEvent::ColumnClicked,
     &ContactsPresenter::OnSelectedColumnClicked},
};

}  // namespace parvel
