#pragma once

// The contacts picker over fakes: two stores with a contact folder each, a
// global address list, and the compose window the picked rows go to.

#include <gtest/gtest.h>

#include "dialogs/compose_presenter.h"
#include "support/compose_only_windows.h"
#include "support/fake_address_book.h"
#include "support/fixed_clock.h"
#include "support/memory_registry.h"
#include "support/recorded_session.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window_view.h"

namespace parvel::contacts_test {

using fakes::Contact;
using fakes::ContactFolder;
using fakes::ContactMember;
using fakes::DistList;
using fakes::GalList;
using fakes::MailFolder;
using fakes::MailUser;

class ContactsFixture : public testing::Test, protected fakes::RecordedSession {
 protected:
  ContactsFixture() {
    OfferSafeDistLists();
    UseAddressLists(
        {{L"Global Address List",
          {MailUser(L"Dee", L"G1", L"021 400"), MailUser(L"Eve", L"G2", L"021 500"),
           GalList(L"Team", L"G9",
                   {MailUser(L"Dee", L"G1", L"021 400"), MailUser(L"Fay", L"G3", L"021 600")})}}});
    UseStores(
        {MailFolder(
             L"Mailbox",
             {MailFolder(L"Inbox"),
              ContactFolder(
                  L"Contacts",
                  {Contact(L"0C01", L"Ann", L"021 100"), Contact(L"0C02", L"Bob", L"021 200"),
                   DistList(L"D1", L"Sales", {ContactMember(L"0C01"), ContactMember(L"0C03")})})}),
         MailFolder(L"Archive",
                    {ContactFolder(L"Contacts", {Contact(L"0C03", L"Cy\r\nCole", L"021 300")})})});
    session.account_settings.default_contacts = L"Contacts";
  }

  fakes::RecordingMessageBoxes messages;
  fakes::RecordingWindowView compose_view;
  MemoryRegistry registry;
  fakes::FixedClock clock{{2026, 12, 31, 18, 5}};
  fakes::ComposeOnlyWindows windows{compose};
  ComposePresenter compose{{.session = session,
                            .view = compose_view,
                            .message_boxes = messages,
                            .registry = registry,
                            .clock = clock,
                            .windows = windows}};
};

}  // namespace parvel::contacts_test
