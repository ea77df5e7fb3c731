// Outlook's own object model by late binding: the names, arguments and index
// bases the adapters use, and what they make of Nothing and of errors.

#include "host/outlook_model_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/host_adapters_win.h"
#include "host/host_error.h"
#include "win/host/scripted_object_win.h"

namespace parvel::host {
namespace {

using Microsoft::WRL::ComPtr;
using testing::Call;
using testing::Raises;
using testing::Returns;
using testing::ScriptedObject;

constexpr auto kMapiENotFound = static_cast<HRESULT>(0x8004010F);

com::Variant Of(const ComPtr<ScriptedObject>& object) {
  return com::Variant(static_cast<IDispatch*>(object.Get()));
}

com::Variant Nothing() { return com::Variant(static_cast<IDispatch*>(nullptr)); }

// A collection's item member: the objects at places counted from 1, as
// Outlook counts, and DISP_E_BADINDEX elsewhere.
ScriptedObject::Member FromOne(std::vector<ComPtr<ScriptedObject>> items) {
  return [items](const Call& call, com::Variant& result, EXCEPINFO*) {
    const int index = call.args.at(0).ToInt();
    if (index < 1 || index > static_cast<int>(items.size())) return DISP_E_BADINDEX;
    result = Of(items[static_cast<std::size_t>(index - 1)]);
    return S_OK;
  };
}

class OutlookModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    application->Define(L"GetNamespace",
                        [this](const Call& call, com::Variant& result, EXCEPINFO*) {
                          if (call.args.at(0).ToText() != L"MAPI") return E_INVALIDARG;
                          result = Of(space);
                          return S_OK;
                        });
  }
  void TearDown() override { OleUninitialize(); }

  ComPtr<ScriptedObject> application = ScriptedObject::Make();
  ComPtr<ScriptedObject> space = ScriptedObject::Make();
};

TEST_F(OutlookModelTest, AMailIsMadeAddressedResolvedAndSentOnTheApplicationsItem) {
  const auto recipients = ScriptedObject::Make();
  recipients->Define(L"Add", Returns(com::Variant()));
  recipients->Define(L"ResolveAll", Returns(com::Variant(true)));
  const auto mail = ScriptedObject::Make();
  mail->Define(L"Recipients", Returns(Of(recipients)));
  for (const wchar_t* member : {L"Subject", L"Body", L"Save", L"Send"}) {
    mail->Define(member, Returns(com::Variant()));
  }
  application->Define(L"CreateItem", Returns(Of(mail)));
  application->Define(L"Version", Returns(com::Variant(L"12.0.0.6423")));
  space->Define(L"SendAndReceive", Returns(com::Variant()));

  const auto outlook = MakeOutlookObjectModel(application);
  EXPECT_EQ(outlook->Version(), L"12.0.0.6423");
  const auto made = outlook->CreateMail();
  EXPECT_EQ(application->calls().back().args.at(0).ToInt(), kOlMailItem);
  made->AddRecipient(L"sms@gateway.example");
  made->ResolveAll();
  made->SetSubject(L"SMS");
  made->SetBody(L"Body");
  made->Save();
  made->Send();
  ASSERT_EQ(recipients->calls().size(), 2U);
  EXPECT_EQ(recipients->calls()[0].args.at(0).ToText(), L"sms@gateway.example");
  ASSERT_EQ(mail->calls().size(), 6U);
  EXPECT_EQ(mail->calls()[2].flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(mail->calls()[2].args.at(0).ToText(), L"SMS");
  EXPECT_EQ(mail->calls()[3].args.at(0).ToText(), L"Body");

  outlook->SendAndReceive();
  ASSERT_EQ(space->calls().size(), 1U);
  EXPECT_EQ(space->calls()[0].args.at(0).get()->vt, VT_BOOL);
  EXPECT_FALSE(space->calls()[0].args.at(0).ToBool()) << "no progress window";
}

TEST_F(OutlookModelTest, AMobileNumberComesFromTheExchangeUserElseFromThePropertyAccessor) {
  const auto user = ScriptedObject::Make();
  user->Define(L"MobileTelephoneNumber", Returns(com::Variant(L"021 1")));
  const auto exchange_entry = ScriptedObject::Make();
  exchange_entry->Define(L"GetExchangeUser", Returns(Of(user)));
  exchange_entry->Define(L"Name", Returns(com::Variant(L"Ann")));

  // An entry outside Exchange, whose property accessor answers the mobile
  // number's property with number, or fails with hr.
  const auto outside_exchange = [](HRESULT hr, const wchar_t* number) {
    const auto accessor = ScriptedObject::Make();
    accessor->Define(
        L"GetProperty", [hr, number](const Call& call, com::Variant& result, EXCEPINFO* error) {
          if (call.args.at(0).ToText() != L"http://schemas.microsoft.com/mapi/proptag/0x3A1C001F") {
            return E_INVALIDARG;
          }
          if (FAILED(hr))
            return Raises(hr, L"The property is unknown or cannot be found.")(call, result, error);
          result = com::Variant(number);
          return S_OK;
        });
    const auto entry = ScriptedObject::Make();
    entry->Define(L"GetExchangeUser", Returns(Nothing()));
    entry->Define(L"PropertyAccessor", Returns(Of(accessor)));
    return entry;
  };

  const auto entries = ScriptedObject::Make();
  // A number, none (Outlook raises), and a failure.
  entries->Define(L"Item", FromOne({exchange_entry, outside_exchange(S_OK, L"022 2"),
                                    outside_exchange(kMapiENotFound, nullptr),
                                    outside_exchange(E_FAIL, nullptr)}));
  entries->Define(L"GetFirst", Returns(Of(exchange_entry)));
  entries->Define(L"GetNext", Returns(Nothing()));
  const auto list = ScriptedObject::Make();
  list->Define(L"Name", Returns(com::Variant(L"Global Address List")));
  list->Define(L"AddressEntries", Returns(Of(entries)));
  const auto lists = ScriptedObject::Make();
  lists->Define(L"Count", Returns(com::Variant(1)));
  lists->Define(L"Item", FromOne({list}));
  space->Define(L"AddressLists", Returns(Of(lists)));

  const auto address_lists = MakeOutlookObjectModel(application)->OpenAddressLists();
  EXPECT_EQ(address_lists->Count(), 1);
  EXPECT_THROW(address_lists->Item(0), HostError) << "Outlook's collections count from 1";
  const auto gal = address_lists->Item(1)->Entries();
  EXPECT_EQ(gal->GetFirst()->Name(), L"Ann");
  EXPECT_EQ(gal->GetNext(), nullptr);
  EXPECT_EQ(gal->Item(1)->MobileTelephoneNumber(), L"021 1");
  EXPECT_EQ(gal->Item(2)->MobileTelephoneNumber(), L"022 2");
  EXPECT_EQ(gal->Item(3)->MobileTelephoneNumber(), std::nullopt);
  EXPECT_THROW(gal->Item(4)->MobileTelephoneNumber(), HostError)
      << "only a missing property means no number";
}

TEST_F(OutlookModelTest, AContactGroupsMembersAreReadFromOneWithTheirContactsOnly) {
  const auto contact = ScriptedObject::Make();
  contact->Define(L"FileAs", Returns(com::Variant(L"Adams, Ann")));
  const auto entry_of = [](com::Variant contact_item) {
    const auto entry = ScriptedObject::Make();
    entry->Define(L"GetContact", Returns(std::move(contact_item)));
    const auto recipient = ScriptedObject::Make();
    recipient->Define(L"AddressEntry", Returns(Of(entry)));
    return recipient;
  };
  const auto group = ScriptedObject::Make();
  group->Define(L"MemberCount", Returns(com::Variant(2)));
  group->Define(L"GetMember", FromOne({entry_of(Of(contact)), entry_of(Nothing())}));

  const auto outlook = MakeOutlookObjectModel(application);
  const auto list = MakeItem(group);
  EXPECT_EQ(outlook->MemberCount(*list), 2);
  const auto first = outlook->MemberContact(*list, 1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->FileAs(), L"Adams, Ann");
  EXPECT_EQ(outlook->MemberContact(*list, 2), nullptr);
  EXPECT_THROW(outlook->MemberContact(*list, 3), HostError);
}

}  // namespace
}  // namespace parvel::host
