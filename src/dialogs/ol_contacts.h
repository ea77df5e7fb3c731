#pragma once

#include <string_view>

#include "dialogs/command_map.h"
#include "dialogs/ol_contacts_controls.h"
#include "host/session.h"
#include "recipients/pending_events.h"
#include "recipients/recipient_list.h"
#include "ui/addin_windows.h"
#include "ui/message_box.h"
#include "ui/window_view.h"
#include "workflows/address_book.h"

namespace parvel {

struct OLContactsPorts {
  Session& session;
  WindowView& view;
  MessageBoxes& message_boxes;
  PendingEvents& pending_events;
  AddinWindows& windows;
};

// The contacts picker: the user lists a contact folder or the Global Address
// List, gathers entries in the "Currently selected" list and hands them to
// the compose window, distribution lists expanded into their members.
class OLContacts final {
 public:
  explicit OLContacts(const OLContactsPorts& ports);
  OLContacts(const OLContacts&) = delete;
  OLContacts& operator=(const OLContacts&) = delete;

  void Form_Load();
  // Contact-folder mode: the folder list, and the default folder highlighted
  // and listed.
  void DoContacts();
  void GetAllContactsFolders();
  void Loadfolder(std::wstring_view fname, int tag);
  bool IsGAL();

  void Option1_Click();  // "Contacts"
  void Option2_Click();  // "Global Address List"
  void List1_Click();
  void Command1_Click();  // "Add  >>"
  void Command4_Click();  // "Remove <<"
  void lvw_DblClick();
  void lvw2_DblClick();
  void lvw_ColumnClick(int column);
  void lvw2_ColumnClick(int column);
  void Command2_Click();  // "&Select"
  void Command3_Click();  // "&Cancel", also the window's close box

  const RecipientList& Contacts() const noexcept { return lvw_; }
  const RecipientList& Selected() const noexcept { return lvw2_; }

 private:
  class Listing;

  void Add();
  void Remove();
  void SortBy(RecipientList& list, std::wstring_view control, int column);
  void TakeSelection(RecipientList& list, std::wstring_view control);
  void Unload();
  template <typename Step>
  void Reporting(Step step);

  OLContactsPorts ports_;
  AddressBook address_book_;
  RecipientList lvw_;   // the contact list
  RecipientList lvw2_;  // the selected list
  bool selecting_default_ = false;
  // Moves on whenever the contact list is given to a new listing or the
  // window closes, so that a listing still letting events run stops.
  unsigned listing_ = 0;
};

// The contacts picker's command map.
inline constexpr Command<OLContacts> kOLContactsCommands[] = {
    {ol_contacts_controls::kOption1, ControlEvent::Clicked, &OLContacts::Option1_Click},
    {ol_contacts_controls::kOption2, ControlEvent::Clicked, &OLContacts::Option2_Click},
    {ol_contacts_controls::kList1, ControlEvent::SelectionChanged, &OLContacts::List1_Click},
    {ol_contacts_controls::kCommand1, ControlEvent::Clicked, &OLContacts::Command1_Click},
    {ol_contacts_controls::kCommand2, ControlEvent::Clicked, &OLContacts::Command2_Click},
    {ol_contacts_controls::kCommand3, ControlEvent::Clicked, &OLContacts::Command3_Click},
    {ol_contacts_controls::kCommand4, ControlEvent::Clicked, &OLContacts::Command4_Click},
    {ol_contacts_controls::klvw, ControlEvent::DoubleClicked, &OLContacts::lvw_DblClick},
    {ol_contacts_controls::klvw2, ControlEvent::DoubleClicked, &OLContacts::lvw2_DblClick},
    {ol_contacts_controls::klvw, ControlEvent::ColumnClicked, &OLContacts::lvw_ColumnClick},
    {ol_contacts_controls::klvw2, ControlEvent::ColumnClicked, &OLContacts::lvw2_ColumnClick},
};

}  // namespace parvel
