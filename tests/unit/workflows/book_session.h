#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/fake_address_book.h"
#include "support/recorded_session.h"
#include "support/recording_contact_list.h"
#include "support/recording_message_boxes.h"
#include "workflows/address_book.h"

namespace parvel::test {

// A mailbox whose contact folder holds two contacts with a mobile, one
// without, and the list Sales (D1) of them with members that wrap no contact
// (a one-off address, a nested list, a short entry, an unknown contact); and
// the list Team (D2).
inline std::shared_ptr<fakes::FakeFolderData> MailboxWithLists() {
  using fakes::Bytes;
  using fakes::ContactMember;
  const std::wstring prefix = L"00000000C091ADD3519DCF11A4A900AA0047FAA4";
  return fakes::MailFolder(
      L"Mailbox",
      {fakes::ContactFolder(
          L"Contacts", {fakes::Contact(L"0A01", L"Adams,\r\nAnn", L"021 1"),
                        fakes::Contact(L"0A02", L"Brown, Bob", L""),
                        fakes::Contact(L"0A03", L"Cole, Cy", L"021 3"),
                        fakes::DistList(L"D1", L"Sales",
                                        {ContactMember(L"0A01"), ContactMember(L"0A02"),
                                         Bytes(L"00000000812B1FA4BEA310199D6E00DD010F540200000190"),
                                         Bytes(prefix + L"C4" + L"0D01"), Bytes(prefix),
                                         ContactMember(L"0AFF"), ContactMember(L"0A03")}),
                        // Cy by his second e-mail address.
                        fakes::DistList(L"D2", L"Team", {Bytes(prefix + L"D3" + L"0A03")})})});
}

// A recorded session with the address book the pickers use on it.
struct BookSession : fakes::RecordedSession {
  std::vector<RecipientEntry> Expand(const RecipientEntry& row) {
    return fakes::ExpandRow(book, row);
  }

  fakes::RecordingMessageBoxes messages;
  fakes::ScriptedPendingEvents pending;
  AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
};

}  // namespace parvel::test
