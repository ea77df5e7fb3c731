#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "support/fake_address_book.h"
#include "support/fake_redemption.h"
#include "support/recorded_session.h"
#include "support/recording_contact_list.h"
#include "support/recording_message_boxes.h"
#include "workflows/address_book.h"

namespace parvel::test {

// A recorded session with the address book the pickers use on it, and the
// host's stores and Redemption's lists set up from plain data.
struct BookSession : fakes::RecordedSession {
  void UseStores(std::vector<std::shared_ptr<fakes::FakeFolderData>> stores) {
    session.HoldNamespace(std::make_unique<fakes::FakeStoreNamespace>(recorder, std::move(stores)));
  }
  void UseAddressLists(std::vector<fakes::FakeAddressListData> lists, int base = 0) {
    redemption->make_address_lists = fakes::FakeAddressListsMaker(recorder, std::move(lists), base);
  }
  // Lets Redemption open a contact folder's distribution lists.
  void OfferSafeDistLists() {
    redemption->make_safe_dist_list = [this] {
      return std::make_unique<fakes::FakeSafeDistList>(recorder);
    };
  }
  std::vector<RecipientEntry> Expand(const RecipientEntry& row) {
    return fakes::ExpandRow(book, row);
  }

  fakes::RecordingMessageBoxes messages;
  fakes::ScriptedPendingEvents pending;
  AddressBook book{{.session = session, .message_boxes = messages, .pending_events = pending}};
};

}  // namespace parvel::test
