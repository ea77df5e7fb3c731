#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/outlook_model.h"
#include "support/call_recorder.h"
#include "support/fake_address_book.h"

namespace parvel::fakes {

// Outlook 2007 and later's own object model over the fakes' data. Logged as
// "Application.Version", "MailItem.Recipients.Add(<address>)",
// "MailItem.Recipients.ResolveAll()", "MailItem.Subject=...", "MailItem.Body=...",
// "MailItem.Save()", "MailItem.Send()", "NameSpace.SendAndReceive(False)",
// "NameSpace.AddressLists" (then as FakeAddressListsMaker logs, from 1),
// "DistListItem(<entry ID>).MemberCount" and
// "DistListItem(<entry ID>).GetMember(<index>).AddressEntry.GetContact".
// A member is a contact when its entry wraps one (ContactMember); the
// contact is found among the stores' items.
struct FakeOutlookData {
  std::wstring version = L"12.0.0.6423";
  std::vector<FakeAddressListData> address_lists;
  std::vector<std::shared_ptr<FakeFolderData>> stores;
};

std::function<std::unique_ptr<host::OutlookObjectModel>()> FakeOutlookObjectModelMaker(
    CallRecorder& recorder, FakeOutlookData data);

}  // namespace parvel::fakes
