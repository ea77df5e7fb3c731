// The stand-in host's Outlook, command bar and Redemption objects, called
// late-bound as the add-in's adapters call them.

#include <windows.h>

#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "com/com_object_win.h"
#include "common/utf8.h"
#include "host/extensibility_win.h"
#include "host/host_tables_win.h"
#include "standin_host/command_bars_win.h"
#include "standin_host/dispatch_win.h"
#include "standin_host/host_context.h"
#include "standin_host/outlook_objects_win.h"
#include "standin_host/redemption_win.h"
#include "standin_host/ribbon_win.h"
#include "test_files.h"

namespace parvel::standin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Late-bound calls as an add-in makes them: GetIDsOfNames, then Invoke with
// the arguments last first.
Variant Missing() {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_ERROR;
  V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
  return Variant::Copy(value);
}

struct Outcome {
  HRESULT result = S_OK;
  Variant value;
  HRESULT scode = S_OK;
  std::wstring description;
  UINT argument_error = 0;
};

// The calls below take a host object as a pointer or as the Variant a call gave.
IDispatch* ObjectOf(IDispatch* object) { return object; }
IDispatch* ObjectOf(const Variant& value) {
  if (V_VT(&value.get()) != VT_DISPATCH || V_DISPATCH(&value.get()) == nullptr) {
    throw std::runtime_error("not an object");
  }
  return V_DISPATCH(&value.get());
}

template <typename... Values>
std::vector<Variant> Args(Values&&... args) {
  std::vector<Variant> list;
  (list.push_back(std::forward<Values>(args)), ...);
  return list;
}

// `named`: names of the last arguments, given by name instead of position.
template <typename Object>
Outcome Try(const Object& target, const std::wstring& name, WORD flags,
            std::vector<Variant> args = {}, std::vector<std::wstring> named = {}) {
  IDispatch* object = ObjectOf(target);
  Outcome outcome;
  std::vector<LPOLESTR> names{const_cast<LPOLESTR>(name.c_str())};
  for (const std::wstring& parameter : named)
    names.push_back(const_cast<LPOLESTR>(parameter.c_str()));
  std::vector<DISPID> ids(names.size());
  outcome.result = object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                         LOCALE_USER_DEFAULT, ids.data());
  if (FAILED(outcome.result)) return outcome;
  // rgvarg: named arguments first, then the positional ones last first.
  std::vector<VARIANTARG> rgvarg;
  std::vector<DISPID> named_ids;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const std::size_t positional = args.size() - named.size();
  if (put) {
    rgvarg.push_back(args.back().get());
    named_ids.push_back(DISPID_PROPERTYPUT);
  }
  for (std::size_t i = 0; i < named.size(); ++i) {
    rgvarg.push_back(args[positional + i].get());
    named_ids.push_back(ids[i + 1]);
  }
  for (std::size_t i = put ? positional - 1 : positional; i-- > 0;) rgvarg.push_back(args[i].get());
  DISPPARAMS params{rgvarg.data(), named_ids.data(), static_cast<UINT>(rgvarg.size()),
                    static_cast<UINT>(named_ids.size())};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  outcome.result = object->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result,
                                  &exception, &outcome.argument_error);
  outcome.value = Variant::Copy(result);
  VariantClear(&result);
  outcome.scode = exception.scode;
  if (exception.bstrDescription != nullptr) {
    outcome.description.assign(exception.bstrDescription, SysStringLen(exception.bstrDescription));
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

template <typename Object>
Variant Get(const Object& object, const std::wstring& name, std::vector<Variant> args = {}) {
  Outcome outcome = Try(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
  if (FAILED(outcome.result)) {
    throw std::runtime_error(tools::WideToUtf8(name + L" failed: " + outcome.description));
  }
  return std::move(outcome.value);
}

template <typename Object>
void Put(const Object& object, const std::wstring& name, Variant value,
         WORD flags = DISPATCH_PROPERTYPUT) {
  std::vector<Variant> args;
  args.push_back(std::move(value));
  const Outcome outcome = Try(object, name, flags, std::move(args));
  if (FAILED(outcome.result)) {
    throw std::runtime_error(tools::WideToUtf8(name + L" put failed: " + outcome.description));
  }
}

Variant Item(const Variant& collection, long index) {
  return Get(collection, L"Item", Args(Variant::Int(index)));
}

// A collection walked as VB walks it: GetFirst, then GetNext until Nothing.
std::vector<Variant> Walk(const Variant& collection) {
  std::vector<Variant> members;
  for (Variant member = Get(collection, L"GetFirst"); V_DISPATCH(&member.get()) != nullptr;
       member = Get(collection, L"GetNext")) {
    members.push_back(std::move(member));
  }
  return members;
}

std::wstring TextOf(const Variant& value) {
  if (V_VT(&value.get()) != VT_BSTR) throw std::runtime_error("not a text");
  return std::wstring(V_BSTR(&value.get()), SysStringLen(V_BSTR(&value.get())));
}

long IntOf(const Variant& value) {
  if (V_VT(&value.get()) != VT_I4) throw std::runtime_error("not a long");
  return V_I4(&value.get());
}

constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

class HostObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    OleInitialize(nullptr);
    outbox_ = fs::temp_directory_path() / "parvel_standin_objects";
    fs::remove_all(outbox_);
    auto book = std::make_shared<AddressBook>(SampleBook());
    context_ = std::make_shared<HostContext>(FailureSet{}, std::move(book), outbox_);
    bars_ = MakeCom<CommandBarsObject>(context_, std::vector<std::wstring>{});
    app_ = MakeCom<ApplicationObject>(context_, bars_);
  }
  void TearDown() override {
    app_.Reset();
    bars_.Reset();
    context_.reset();
    OleUninitialize();
    fs::remove_all(outbox_);
  }

  IDispatch* App() { return app_.Get(); }
  Variant Namespace() { return Get(App(), L"GetNamespace", Args(Variant::Text(L"MAPI"))); }
  Variant Redemption(const wchar_t* prog_id) {
    ComPtr<IDispatch> object = CreateRedemptionObject(context_, prog_id);
    return Variant::Object(object.Get());
  }
  Variant Mailbox() { return Item(Get(Namespace(), L"Folders"), 1); }
  Variant ContactsFolder() { return Item(Get(Mailbox(), L"Folders"), 2); }
  // The "Sales Team" contact group.
  Variant SalesTeam() {
    return Get(Namespace(), L"GetItemFromID",
               Args(Variant::Text(L"00000000B8E4A6F5E3B1D011A5C800A0C9251F8E0700D1000001")));
  }
  Variant StandardBar() {
    return Get(Get(App(), L"ActiveExplorer").get().pdispVal, L"CommandBars");
  }

  fs::path outbox_;
  std::shared_ptr<HostContext> context_;
  ComPtr<CommandBarsObject> bars_;
  ComPtr<ApplicationObject> app_;
};

TEST_F(HostObjects, CallsFollowLateBindingConventions) {
  const Variant ns = Namespace();
  // Names in any letter case; a property read as a method and as a property.
  const Variant user = Get(ns, L"currentuser");
  EXPECT_EQ(TextOf(Get(user, L"NAME")), L"Sales Desk");
  EXPECT_EQ(TextOf(Try(user, L"Name", DISPATCH_PROPERTYGET).value), L"Sales Desk");
  EXPECT_EQ(TextOf(Try(user, L"Name", DISPATCH_METHOD).value), L"Sales Desk");
  EXPECT_EQ(Try(ns, L"Logon", kGet).result, DISP_E_UNKNOWNNAME);

  // A failure: DISP_E_EXCEPTION with the host's text and scode.
  const Outcome missing = Try(ns, L"GetItemFromID", kGet, Args(Variant::Text(L"00AA")));
  EXPECT_EQ(missing.result, DISP_E_EXCEPTION);
  EXPECT_EQ(missing.scode, static_cast<HRESULT>(0x8004010F));
  EXPECT_NE(missing.description.find(L"could not be found"), std::wstring::npos);

  // Arguments that do not fit.
  const Outcome wrong_type = Try(App(), L"CreateItem", kGet, Args(Variant::Text(L"mail")));
  EXPECT_EQ(wrong_type.result, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(wrong_type.argument_error, 0U);
  EXPECT_EQ(Try(App(), L"CreateItem", kGet, Args(Variant::Int(0), Variant::Int(1))).result,
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Try(App(), L"CreateItem", kGet, Args(Missing())).result, DISP_E_PARAMNOTFOUND);

  // A put needs the DISPID_PROPERTYPUT named argument.
  const Variant mail = Get(App(), L"CreateItem", Args(Variant::Int(0)));
  EXPECT_EQ(Try(mail, L"Subject", DISPATCH_PROPERTYPUT, Args(Variant::Text(L"s"))).result, S_OK);
  DISPID subject = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"Subject");
  ObjectOf(mail)->GetIDsOfNames(IID_NULL, &name, 1, 0, &subject);
  VARIANTARG value = Variant::Text(L"x").Detach();
  DISPPARAMS unnamed{&value, nullptr, 1, 0};
  EXPECT_EQ(ObjectOf(mail)->Invoke(subject, IID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed, nullptr,
                                   nullptr, nullptr),
            DISP_E_PARAMNOTFOUND);
  VariantClear(&value);
  EXPECT_EQ(TextOf(Get(mail, L"Subject")), L"s");

  // Operations named with --fail raise; without EXCEPINFO the caller sees the scode.
  context_->failures.Add(L"MailItem.Save");
  const Outcome failed = Try(mail, L"Save", kGet);
  EXPECT_EQ(failed.result, DISP_E_EXCEPTION);
  EXPECT_EQ(failed.description, L"Simulated failure: MailItem.Save");
  EXPECT_EQ(ObjectOf(mail)->Invoke(6, IID_NULL, 0, kGet, nullptr, nullptr, nullptr, nullptr),
            E_FAIL);
}

TEST_F(HostObjects, NamespaceWalksStoresFoldersAndItems) {
  const Variant ns = Namespace();
  const Variant stores = Get(ns, L"Folders");
  std::vector<std::wstring> names;
  for (const Variant& store : Walk(stores)) {
    names.push_back(TextOf(Get(store, L"Name")));
  }
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Mailbox - Sales Desk", L"Personal Folders",
                                              L"Public Folders"}));

  const Variant public_folders = Item(stores, 3);
  const Outcome failing = Try(public_folders, L"Folders", kGet);
  EXPECT_EQ(failing.result, DISP_E_EXCEPTION);
  EXPECT_NE(failing.description.find(L"Public Folders"), std::wstring::npos);

  const Variant mailbox = Item(stores, 1);
  const Variant folders = Get(mailbox, L"Folders");
  ASSERT_EQ(IntOf(Get(folders, L"Count")), 3);
  const Variant contacts = Item(folders, 2);
  EXPECT_EQ(TextOf(Get(contacts, L"Name")), L"Contacts");
  EXPECT_EQ(Try(folders, L"Item", kGet, Args(Variant::Int(4))).result, DISP_E_EXCEPTION);

  const Variant items = Get(contacts, L"Items");
  ASSERT_EQ(IntOf(Get(items, L"Count")), 8);
  const Variant chloe = Item(items, 3);
  EXPECT_EQ(Try(chloe, L"DLName", kGet).result, DISP_E_UNKNOWNNAME) << "a contact is no list";

  // For Each walks the same items.
  const Variant enumeration = Get(items, L"_NewEnum");
  ComPtr<IEnumVARIANT> each;
  ASSERT_EQ(V_UNKNOWN(&enumeration.get())->QueryInterface(IID_PPV_ARGS(&each)), S_OK);
  VARIANT slots[10];
  ULONG fetched = 0;
  EXPECT_EQ(each->Next(10, slots, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 8U);
  for (ULONG i = 0; i < fetched; ++i) VariantClear(&slots[i]);

  // GetItemFromID by the entry ID, also on the application's Session, in any letter case.
  const std::wstring id = TextOf(Get(chloe, L"EntryID"));
  const Variant session = Get(App(), L"Session");
  const Variant found = Get(session, L"GetItemFromID", Args(Variant::Text(id)));
  EXPECT_EQ(TextOf(Get(found, L"Entryid")), id);
  const std::wstring old_friends = TextOf(Get(Item(items, 7), L"EntryID"));
  EXPECT_EQ(Try(ns, L"GetItemFromID", kGet, Args(Variant::Text(old_friends))).scode,
            static_cast<HRESULT>(0x8004010F))
      << "the list GetItemFromID cannot find";
}

TEST_F(HostObjects, CommandBarsAddBarsAndButtonsAsOfficeDoes) {
  const Variant bars = StandardBar();
  ASSERT_EQ(IntOf(Get(bars, L"Count")), 2);
  const Variant standard = Item(bars, 1);
  EXPECT_EQ(TextOf(Get(standard, L"Name")), L"Standard");
  EXPECT_EQ(TextOf(Get(Get(bars, L"Item", Args(Variant::Text(L"advanced"))), L"Name")),
            L"Advanced");

  // Add(Name, Position, MenuBar left out, Temporary): a new bar is hidden until made visible.
  const Variant sms_bar =
      Get(bars, L"Add",
          Args(Variant::Text(L"SMSBar"), Variant::Int(1), Missing(), Variant::Bool(true)));
  EXPECT_EQ(V_BOOL(&Get(sms_bar, L"Visible").get()), VARIANT_FALSE);
  const Outcome again = Try(bars, L"Add", kGet, Args(Variant::Text(L"SMSBar"), Variant::Int(1)));
  EXPECT_EQ(again.result, DISP_E_EXCEPTION) << "Office refuses a second bar of the same name";

  // Controls.Add(Type, Id, Parameter, Before, Temporary), here with named arguments.
  const Variant controls = Get(standard, L"Controls");
  const Variant button =
      Try(controls, L"Add", kGet, Args(Variant::Int(1), Variant::Int(2), Variant::Bool(true)),
          {L"Before", L"Temporary"})
          .value;
  Put(button, L"Caption", Variant::Text(L"Send SMS"));
  std::vector<std::wstring> captions;
  for (long i = 1; i <= IntOf(Get(controls, L"Count")); ++i) {
    captions.push_back(TextOf(Get(Item(controls, i), L"Caption")));
  }
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"New", L"Send SMS", L"Reply", L"Forward"}));
  EXPECT_EQ(IntOf(Get(button, L"Index")), 2);
  EXPECT_EQ(
      Try(controls, L"Add", kGet, Args(Variant::Int(1), Missing(), Missing(), Variant::Int(9)))
          .result,
      DISP_E_EXCEPTION);

  Put(button, L"Style", Variant::Int(3));
  Put(button, L"OnAction", Variant::Text(L"!<A.B>"));
  EXPECT_EQ(IntOf(Get(button, L"Style")), 3);
  EXPECT_EQ(TextOf(Get(button, L"OnAction")), L"!<A.B>");

  Get(button, L"Delete");
  EXPECT_EQ(Try(button, L"Caption", kGet).result, DISP_E_EXCEPTION) << "a deleted control";
}

// A sink of one event interface that notes each call: the DISPID, the kind of
// call and the argument types (last first); of a click also the control and
// CancelDefault.
class Sink final : public com::ComObject<Sink, IDispatch, false> {
 public:
  struct Call {
    DISPID id;
    WORD flags;
    std::vector<VARTYPE> types;
    bool operator==(const Call&) const = default;
  };

  explicit Sink(const IID& events) : events_(events) {}
  bool Answers(REFIID iid) const noexcept { return iid == events_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT*, EXCEPINFO*, UINT*) override {
    Call call{id, flags, {}};
    for (UINT i = 0; params != nullptr && i < params->cArgs; ++i)
      call.types.push_back(V_VT(&params->rgvarg[i]));
    if (call.types == std::vector<VARTYPE>{VT_BOOL | VT_BYREF, VT_DISPATCH}) {
      control = V_DISPATCH(&params->rgvarg[1]);
      cancel_default = *V_BOOLREF(&params->rgvarg[0]);
    }
    calls.push_back(std::move(call));
    return S_OK;
  }

  std::vector<Call> calls;
  IDispatch* control = nullptr;
  VARIANT_BOOL cancel_default = VARIANT_TRUE;

 private:
  IID events_;
};

TEST_F(HostObjects, ClicksReachEveryAdvisedSink) {
  auto button = bars_->bars()[0]->AddButton(std::nullopt);
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(button->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.GetAddressOf()),
            CONNECT_E_NOCONNECTION);
  ASSERT_EQ(
      container->FindConnectionPoint(kIidCommandBarButtonEvents, point.ReleaseAndGetAddressOf()),
      S_OK);

  const ComPtr<Sink> first = Sink::Make(kIidCommandBarButtonEvents);
  const ComPtr<Sink> second = Sink::Make(kIidCommandBarButtonEvents);
  DWORD first_cookie = 0;
  DWORD second_cookie = 0;
  DWORD plain_cookie = 0;
  ASSERT_EQ(point->Advise(first.Get(), &first_cookie), S_OK);
  ASSERT_EQ(point->Advise(second.Get(), &second_cookie), S_OK);
  EXPECT_EQ(point->Advise(Sink::Make(IID_IDispatch).Get(), &plain_cookie), CONNECT_E_CANNOTCONNECT)
      << "the sink must offer the events";

  button->Click();
  const Sink::Call click{
      kDispidCommandBarButtonClick, DISPATCH_METHOD, {VT_BOOL | VT_BYREF, VT_DISPATCH}};
  EXPECT_EQ(first->calls, std::vector<Sink::Call>{click});
  EXPECT_EQ(first->cancel_default, VARIANT_FALSE);
  EXPECT_EQ(first->control, static_cast<IDispatch*>(button.Get()));
  EXPECT_EQ(second->calls.size(), 1U);
}

TEST_F(HostObjects, PasteFaceTakesFaceAndMaskFromTheClipboard) {
  auto button = bars_->bars()[0]->AddButton(std::nullopt);
  // A 2 x 1 face, red and green; the mask makes the right pixel transparent.
  const BYTE face[] = {40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0,    0, 1,    0, 24, 0,
                       0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0, 0,    0, 0,  0,
                       0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0,  0};
  const BYTE mask[] = {40, 0, 0, 0, 2, 0, 0, 0, 1,    0,    0,    0, 1,    0, 1, 0, 0, 0,
                       0,  0, 0, 0, 0, 0, 0, 0, 0,    0,    0,    0, 0,    0, 0, 0, 0, 0,
                       0,  0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0x40, 0, 0, 0};
  const auto put = [](UINT format, const BYTE* bytes, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::copy(bytes, bytes + size, static_cast<BYTE*>(GlobalLock(block)));
    GlobalUnlock(block);
    SetClipboardData(format, block);
  };
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  put(RegisterClipboardFormatW(L"Toolbar Button Face"), face, sizeof face);
  put(RegisterClipboardFormatW(L"Toolbar Button Mask"), mask, sizeof mask);
  CloseClipboard();
  Get(button.Get(), L"PasteFace");
  ASSERT_TRUE(button->face.has_value());
  EXPECT_EQ(button->face->width, 2);
  EXPECT_EQ(button->face->At(0, 0), 0xFFFF0000U);
  EXPECT_EQ(button->face->At(1, 0) >> 24, 0U);

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  const Outcome empty = Try(button.Get(), L"PasteFace", kGet);
  EXPECT_EQ(empty.result, DISP_E_EXCEPTION);
  EXPECT_NE(empty.description.find(L"no picture"), std::wstring::npos);
}

TEST_F(HostObjects, SafeMailItemSendsTheWrappedMailToTheOutbox) {
  const Variant safe = Redemption(L"Redemption.SafeMailItem");
  EXPECT_EQ(Try(safe, L"Send", kGet).result, DISP_E_EXCEPTION) << "no Item yet";
  const Variant mail = Get(App(), L"CreateItem", Args(Variant::Int(0)));
  EXPECT_EQ(IntOf(Get(mail, L"Class")), 43);
  EXPECT_EQ(Try(safe, L"Item", DISPATCH_PROPERTYPUTREF, Args(Variant::Text(L"not an item"))).result,
            DISP_E_TYPEMISMATCH);
  Put(safe, L"Item", Variant::Copy(mail.get()), DISPATCH_PROPERTYPUTREF);
  EXPECT_EQ(Try(safe, L"Send", kGet).result, DISP_E_EXCEPTION) << "no recipient yet";

  Put(safe, L"To", Variant::Text(L"to@gateway.example"));
  Get(Get(safe, L"Recipients"), L"Add", Args(Variant::Text(L"sms@gateway.example")));
  Put(safe, L"Subject", Variant::Text(L"SMS Message to 1"));
  Put(safe, L"Body", Variant::Text(L"To: 1 (A), \r\nMessage: Hi"));
  Get(safe, L"Save");
  Get(safe, L"Send");
  ASSERT_EQ(context_->outbox.mails().size(), 1U);
  EXPECT_EQ(context_->outbox.mails()[0].to, L"to@gateway.example, sms@gateway.example");
  EXPECT_TRUE(fs::exists(outbox_ / "0001.eml"));
  EXPECT_EQ(Try(safe, L"Send", kGet).result, DISP_E_EXCEPTION) << "sent once only";

  const Variant utils = Redemption(L"Redemption.MAPIUtils");
  Get(utils, L"DeliverNow");
  Get(utils, L"Cleanup");
  EXPECT_EQ(context_->outbox.mails()[0].state, MailState::Delivered);
  std::vector<Variant> numbers;
  numbers.push_back(Variant::Int(10));
  numbers.push_back(Variant::Int(255));
  EXPECT_EQ(TextOf(Get(utils, L"HrArrayToString", Args(Variant::Array(std::move(numbers))))),
            L"0AFF");
}

TEST_F(HostObjects, AddressListsServeTheGlobalAddressList) {
  const Variant lists = Redemption(L"Redemption.AddressLists");
  ASSERT_EQ(IntOf(Get(lists, L"Count")), 2);
  EXPECT_EQ(TextOf(Get(Item(lists, 0), L"Name")), L"All Users");
  EXPECT_EQ(Try(lists, L"Item", kGet, Args(Variant::Int(2))).result, DISP_E_EXCEPTION) << "from 0";
  const Variant gal = Item(lists, 1);
  const Variant entries = Get(gal, L"AddressEntries");
  EXPECT_EQ(IntOf(Get(entries, L"Count")), 10);

  std::vector<std::wstring> seen;
  for (const Variant& entry : Walk(entries)) {
    const Variant mobile = Get(entry, L"Fields", Args(Variant::Int(0x3A1C001E)));
    std::wstring shown = std::to_wstring(IntOf(Get(entry, L"DisplayType"))) + L" ";
    shown += V_VT(&mobile.get()) == VT_NULL    ? L"null"
             : V_VT(&mobile.get()) == VT_EMPTY ? L"empty"
                                               : TextOf(mobile);
    seen.push_back(shown);
  }
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"0 021 555 0101", L"0 null", L"0 ",
                                             L"0 +64 21 555 0104", L"0 021 555 0201", L"1 null",
                                             L"1 null", L"1 null", L"6 021 555 0999", L"2 null"}));

  const Variant support = Item(entries, 5);
  EXPECT_EQ(TextOf(Get(support, L"Name")), L"Support Team");
  const Variant members = Get(support, L"Members");
  ASSERT_EQ(IntOf(Get(members, L"Count")), 4);
  const Variant ian = Item(members, 3);
  EXPECT_EQ(TextOf(Get(ian, L"Id")), L"00000000DCA740C8C042101AB4B908002B2FE1820100000000000301");
  // VB passes the tag as a long; a user has no members.
  EXPECT_EQ(TextOf(Get(ian, L"Fields", Args(Variant::Int(974913566)))), L"020 555 0301");
  const Variant anna = Item(entries, 0);
  EXPECT_EQ(V_DISPATCH(&Get(anna, L"Members").get()), nullptr);
}

// A batch of table rows as VB reads it: Array(row, column).
struct Batch {
  LONG rows = 0;
  LONG columns = 0;
  LONG base = -1;
  const SAFEARRAY* array = nullptr;
};

Batch BatchOf(const Variant& value) {
  Batch batch;
  if (V_VT(&value.get()) != (VT_ARRAY | VT_VARIANT)) return batch;
  SAFEARRAY* array = V_ARRAY(&value.get());
  if (SafeArrayGetDim(array) != 2) return batch;
  LONG low = 0, high = 0, column_low = 0, column_high = 0;
  SafeArrayGetLBound(array, 1, &low);
  SafeArrayGetUBound(array, 1, &high);
  SafeArrayGetLBound(array, 2, &column_low);
  SafeArrayGetUBound(array, 2, &column_high);
  if (column_low != low) return batch;
  return {high - low + 1, column_high - column_low + 1, low, array};
}

Variant CellOf(const Batch& batch, LONG row, LONG column) {
  LONG at[2] = {batch.base + row, batch.base + column};
  VARIANT cell;
  VariantInit(&cell);
  SafeArrayGetElement(const_cast<SAFEARRAY*>(batch.array), at, &cell);
  Variant copy = Variant::Copy(cell);
  VariantClear(&cell);
  return copy;
}

TEST_F(HostObjects, MapiTableReadsAddressEntriesManyRowsACall) {
  for (const int base : {0, 1}) {
    context_->redemption_base = base;
    const Variant lists = Redemption(L"Redemption.AddressLists");
    const Variant gal = Item(lists, base + 1);
    const Variant table = Redemption(L"Redemption.MAPITable");
    EXPECT_EQ(Try(table, L"GetRows", kGet, Args(Variant::Int(4))).result, DISP_E_EXCEPTION)
        << "no Item yet";
    const Variant entries = Get(gal, L"AddressEntries");
    Put(table, L"Item", Variant::Copy(entries.get()));
    Put(table, L"Columns",
        Variant::Array(Args(Variant::Int(0x39000003), Variant::Int(0x3001001F),
                            Variant::Int(0x0FFF0102), Variant::Int(0x3A1C001E))));
    Get(table, L"GoToFirst");
    const Variant first = Get(table, L"GetRows", Args(Variant::Int(4)));
    const Batch rows = BatchOf(first);
    ASSERT_EQ(rows.rows, 4) << "base " << base;
    EXPECT_EQ(rows.columns, 4);
    EXPECT_EQ(rows.base, base) << "counted as the host's Redemption collections count";
    const Variant id = CellOf(rows, 0, 2);
    ASSERT_EQ(V_VT(&id.get()), VT_ARRAY | VT_UI1) << "an entry ID is binary";
    EXPECT_EQ(V_ARRAY(&id.get())->rgsabound[0].cElements, 28U);
    EXPECT_EQ(BatchOf(Get(table, L"GetRows", Args(Variant::Int(4)))).rows, 4);
    EXPECT_EQ(BatchOf(Get(table, L"GetRows", Args(Variant::Int(4)))).rows, 2)
        << "fewer rows near the end";
    EXPECT_EQ(V_VT(&Get(table, L"GetRows", Args(Variant::Int(4))).get()), VT_EMPTY);
    Get(table, L"GoToFirst");
    EXPECT_EQ(BatchOf(Get(table, L"GetRows", Args(Variant::Int(100)))).rows, 10);

    // The add-in's own read gives each entry as the address book holds it, in order.
    const auto read = host::MakeAddressTable(
        com::Dispatch(ComPtr<IDispatch>(ObjectOf(Redemption(L"Redemption.MAPITable")))),
        com::Dispatch(ComPtr<IDispatch>(ObjectOf(entries))));
    std::vector<host::AddressRow> read_rows;
    for (auto batch = read->NextRows(3); !batch.empty(); batch = read->NextRows(3))
      read_rows.insert(read_rows.end(), batch.begin(), batch.end());
    const AddressList& book = context_->book->address_lists[1];
    ASSERT_EQ(read_rows.size(), book.entries.size());
    for (std::size_t i = 0; i < read_rows.size(); ++i) {
      const AddressEntry& entry = *book.entries[i];
      EXPECT_EQ(read_rows[i],
                (host::AddressRow{entry.display_type, entry.name, entry.id, entry.mobile}))
          << i;
    }
  }
}

TEST_F(HostObjects, FolderTableGivesTheColumnsAddedFromZero) {
  const Variant contacts = ContactsFolder();
  EXPECT_EQ(Try(contacts, L"GetTable", kGet, Args(Variant::Text(L"[FileAs] = 'x'"))).scode,
            E_NOTIMPL)
      << "no filters";
  const Variant table = Get(contacts, L"GetTable");
  const Variant columns = Get(table, L"Columns");
  EXPECT_EQ(IntOf(Get(columns, L"Count")), 3) << "Outlook's default columns";
  Get(columns, L"RemoveAll");
  for (const wchar_t* name : {L"EntryID", L"MessageClass", L"FileAs", L"MobileTelephoneNumber"})
    Get(columns, L"Add", Args(Variant::Text(name)));
  EXPECT_EQ(Try(columns, L"Add", kGet, Args(Variant::Text(L"Body"))).result, DISP_E_EXCEPTION);

  EXPECT_FALSE(V_BOOL(&Get(table, L"EndOfTable").get()));
  const Variant first = Get(table, L"GetArray", Args(Variant::Int(5)));
  const Batch rows = BatchOf(first);
  ASSERT_EQ(rows.rows, 5);
  EXPECT_EQ(rows.base, 0);
  EXPECT_EQ(V_VT(&CellOf(rows, 1, 3).get()), VT_EMPTY) << "no mobile";
  EXPECT_EQ(BatchOf(Get(table, L"GetArray", Args(Variant::Int(5)))).rows, 3);
  EXPECT_TRUE(V_BOOL(&Get(table, L"EndOfTable").get()));
  EXPECT_EQ(V_VT(&Get(table, L"GetArray", Args(Variant::Int(5))).get()), VT_EMPTY);

  // The add-in's own read gives every item, in order.
  const auto read = host::MakeContactTable(com::Dispatch(ComPtr<IDispatch>(ObjectOf(contacts))));
  std::vector<host::ContactRow> read_rows;
  for (auto batch = read->NextRows(3); !batch.empty(); batch = read->NextRows(3))
    read_rows.insert(read_rows.end(), batch.begin(), batch.end());
  const Folder& folder = context_->book->stores[0].folders[1];
  ASSERT_EQ(read_rows.size(), folder.items.size());
  EXPECT_EQ(read_rows[2], (host::ContactRow{folder.items[2].entry_id, L"IPM.Contact",
                                            L"Smith, Chloe\r\nAccounts", L"027 555 0103"}));
  EXPECT_EQ(read_rows[1].mobile, L"") << "no mobile";
  EXPECT_EQ(read_rows[4].message_class, L"IPM.DistList");
  EXPECT_EQ(read_rows[4].file_as, L"");
}

TEST_F(HostObjects, WithoutTablesAFolderHasNoGetTableAndRedemptionNoMapiTable) {
  context_->tables = false;
  EXPECT_EQ(Try(Mailbox(), L"GetTable", kGet).result, DISP_E_UNKNOWNNAME);
  EXPECT_EQ(CreateRedemptionObject(context_, L"Redemption.MAPITable"), nullptr);
  EXPECT_NE(CreateRedemptionObject(context_, L"Redemption.AddressLists"), nullptr);
}

TEST_F(HostObjects, EveryCallIsCountedByObjectAndMember) {
  const Variant stores = Get(Namespace(), L"Folders");
  Get(stores, L"GetFirst");
  Get(stores, L"GetNext");
  EXPECT_EQ(context_->call_meter.counts().at(L"Folders.GetNext"), 1);
  EXPECT_EQ(context_->call_meter.counts().at(L"Folders.GetFirst"), 1);
  EXPECT_EQ(context_->call_meter.total(), 4) << "GetNamespace, Folders, GetFirst, GetNext";
}

// Outlook 2007 and later's own view, as the add-in reads it without Redemption.
TEST_F(HostObjects, OutlooksOwnAddressListsCountFromOneAndTellEntriesOutsideExchange) {
  EXPECT_EQ(TextOf(Get(App(), L"Version")), L"16.0.0.6423");
  const Variant lists = Get(Namespace(), L"AddressLists");
  ASSERT_EQ(IntOf(Get(lists, L"Count")), 2);
  EXPECT_EQ(Try(lists, L"Item", kGet, Args(Variant::Int(0))).result, DISP_E_EXCEPTION) << "from 1";
  const Variant gal = Item(lists, 2);
  EXPECT_EQ(TextOf(Get(gal, L"Name")), L"Global Address List");
  const Variant entries = Get(gal, L"AddressEntries");
  EXPECT_EQ(Try(entries, L"Item", kGet, Args(Variant::Int(0))).result, DISP_E_EXCEPTION);

  const auto mobile_of = [](const Variant& entry) -> std::wstring {
    const Variant user = Get(entry, L"GetExchangeUser");
    if (V_DISPATCH(&user.get()) != nullptr) {
      return L"user " + TextOf(Get(user, L"MobileTelephoneNumber"));
    }
    const Variant accessor = Get(entry, L"PropertyAccessor");
    const Outcome read =
        Try(accessor, L"GetProperty", kGet,
            Args(Variant::Text(L"http://schemas.microsoft.com/mapi/proptag/0x3A1C001F")));
    if (read.result == DISP_E_EXCEPTION) return L"raises " + std::to_wstring(read.scode);
    return L"property " + TextOf(read.value);
  };
  std::vector<std::wstring> seen;
  for (const Variant& entry : Walk(entries)) {
    seen.push_back(TextOf(Get(entry, L"Name")) + L": " + mobile_of(entry));
  }
  const std::wstring not_found = std::to_wstring(static_cast<HRESULT>(0x8004010F));
  EXPECT_EQ(seen, (std::vector<std::wstring>{
                      L"Anna Bell: property 021 555 0101", L"Ben Ngata: raises " + not_found,
                      L"Chloe Smith: user ", L"David Walker: user +64 21 555 0104",
                      L"Emma Martin: user 021 555 0201", L"Support Team: raises " + not_found,
                      L"Managers: raises " + not_found, L"All Staff: raises " + not_found,
                      L"Board Room: user 021 555 0999", L"Public Notices: raises " + not_found}));
  const Variant support = Item(entries, 6);
  EXPECT_EQ(IntOf(Get(support, L"AddressEntryUserType")), 1);
  const Variant members = Get(support, L"Members");
  EXPECT_EQ(TextOf(Get(Item(members, 4), L"Name")), L"Contractor, Ian");
}

TEST_F(HostObjects, OutlooksOwnContactGroupMembersGiveTheirContacts) {
  const Variant sales = SalesTeam();
  ASSERT_EQ(IntOf(Get(sales, L"MemberCount")), 6);
  EXPECT_EQ(Try(sales, L"GetMember", kGet, Args(Variant::Int(0))).result, DISP_E_EXCEPTION)
      << "from 1";
  std::vector<std::wstring> contacts;
  for (long index = 1; index <= 6; ++index) {
    const Variant member = Get(sales, L"GetMember", Args(Variant::Int(index)));
    const Variant contact = Get(Get(member, L"AddressEntry"), L"GetContact");
    contacts.push_back(V_DISPATCH(&contact.get()) == nullptr ? L"Nothing"
                                                             : TextOf(Get(contact, L"FileAs")));
  }
  EXPECT_EQ(contacts[0], L"Bell, Anna");
  EXPECT_EQ(contacts[1], L"Nothing") << "a one-off address";
  EXPECT_EQ(contacts[4], L"Nothing") << "a nested list";

  const Variant mail = Get(App(), L"CreateItem", Args(Variant::Int(0)));
  const Variant recipients = Get(mail, L"Recipients");
  Get(recipients, L"Add", Args(Variant::Text(L"sms@gateway.example")));
  EXPECT_EQ(V_BOOL(&Get(recipients, L"ResolveAll").get()), VARIANT_TRUE);
  Put(mail, L"Subject", Variant::Text(L"SMS"));
  Put(mail, L"Body", Variant::Text(L"Body"));
  Get(mail, L"Send");
  ASSERT_EQ(context_->outbox.mails().size(), 1U);
  EXPECT_EQ(context_->outbox.mails()[0].state, MailState::Submitted);
  Get(Namespace(), L"SendAndReceive", Args(Variant::Bool(false)));
  EXPECT_EQ(context_->outbox.mails()[0].state, MailState::Delivered);
}

TEST_F(HostObjects, Outlook2003HasNoneOfWhatOutlook2007Brought) {
  context_->outlook_version = 11;
  EXPECT_EQ(TextOf(Get(App(), L"Version")), L"11.0.0.6423");
  const Variant ns = Namespace();
  EXPECT_EQ(Try(ns, L"SendAndReceive", kGet, Args(Variant::Bool(false))).scode,
            DISP_E_MEMBERNOTFOUND);
  const Variant gal = Item(Get(ns, L"AddressLists"), 2);
  const Variant entry = Get(Get(gal, L"AddressEntries"), L"GetFirst");
  EXPECT_EQ(Try(entry, L"GetExchangeUser", kGet).scode, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Try(entry, L"PropertyAccessor", kGet).scode, DISP_E_MEMBERNOTFOUND);
}

TEST_F(HostObjects, SafeDistListGivesTheMemberEntries) {
  const Variant sales = SalesTeam();
  const Variant list = Redemption(L"Redemption.SafeDistList");
  EXPECT_EQ(Try(list, L"Fields", kGet, Args(Variant::Int(0x1102))).result, DISP_E_EXCEPTION);
  Put(list, L"Item", Variant::Copy(sales.get()));
  const long tag = IntOf(
      Get(list, L"GetIDsFromNames",
          Args(Variant::Text(L"{00062004-0000-0000-C000-000000000046}"), Variant::Int(0x8055))));
  EXPECT_EQ(tag & 0xFFFF, 0);
  const Variant fields = Get(list, L"Fields", Args(Variant::Int(tag | 0x1102)));
  ASSERT_EQ(V_VT(&fields.get()), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = V_ARRAY(&fields.get());
  LONG upper = 0;
  SafeArrayGetUBound(array, 1, &upper);
  ASSERT_EQ(upper, 5) << "six members";
  LONG index = 0;
  VARIANT first;
  VariantInit(&first);
  SafeArrayGetElement(array, &index, &first);
  const Variant utils = Redemption(L"Redemption.MAPIUtils");
  EXPECT_EQ(TextOf(Get(utils, L"HrArrayToString", Args(Variant::Copy(first)))),
            L"00000000C091ADD3519DCF11A4A900AA0047FAA4C3"
            L"00000000B8E4A6F5E3B1D011A5C800A0C9251F8E0700C1000001");
  VariantClear(&first);
  EXPECT_EQ(V_VT(&Get(list, L"Fields", Args(Variant::Int(static_cast<long>(0x80551102U)))).get()),
            VT_EMPTY)
      << "the store's own number, not the name's";
  EXPECT_EQ(
      Try(list, L"GetIDsFromNames", kGet, Args(Variant::Text(L"PSETID_Address"), Variant::Int(1)))
          .result,
      DISP_E_EXCEPTION);
}

TEST_F(HostObjects, RedemptionClassesAreCreatedByProgIdInThisProcess) {
  const auto create = [](const wchar_t* prog_id) {
    CLSID clsid{};
    HRESULT result = CLSIDFromProgID(prog_id, &clsid);
    ComPtr<IDispatch> object;
    if (SUCCEEDED(result))
      result = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&object));
    return result;
  };
  {
    const RedemptionServer server(context_, true);
    EXPECT_TRUE(server.problems().empty());
    EXPECT_EQ(create(L"redemption.addresslists"), S_OK) << "ProgIDs in any letter case";
    EXPECT_EQ(create(L"Redemption.SafeMailItem"), S_OK);
    context_->failures.Add(L"Redemption.MAPIUtils");
    EXPECT_EQ(create(L"Redemption.MAPIUtils"), E_FAIL);
  }
  EXPECT_EQ(create(L"Redemption.SafeDistList"), CO_E_CLASSSTRING) << "gone with the server";
  const RedemptionServer absent(context_, false);
  EXPECT_EQ(create(L"Redemption.SafeMailItem"), CO_E_CLASSSTRING);
}

// An add-in's ribbon side as the host meets it: its customUI and the
// callbacks its IDispatch knows by name; Invoke records the control's Id.
class FakeRibbonAddin final : public com::ComObject<FakeRibbonAddin, IRibbonExtensibility, false> {
 public:
  // The callbacks take the DISPIDs from first_dispid on.
  FakeRibbonAddin(std::wstring xml, std::vector<std::wstring> callbacks, DISPID first_dispid = 101)
      : xml_(std::move(xml)), callbacks_(std::move(callbacks)), first_dispid_(first_dispid) {}
  bool Answers(REFIID iid) const noexcept { return iid == __uuidof(IDispatch); }

  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR, BSTR* xml) override {
    *xml = SysAllocString(xml_.c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID,
                                          DISPID* ids) override {
    for (std::size_t i = 0; i < callbacks_.size(); ++i) {
      if (callbacks_[i] == names[0]) {
        ids[0] = first_dispid_ + static_cast<DISPID>(i);
        return S_OK;
      }
    }
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    const std::wstring name = callbacks_.at(static_cast<std::size_t>(id - first_dispid_));
    const Variant control_id = Get(params->rgvarg[0].pdispVal, L"Id");
    calls.push_back(name + L"(" + std::wstring(control_id.get().bstrVal) + L")");
    if (name == L"Label") {
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(L"From getLabel");
    }
    return S_OK;
  }

  std::vector<std::wstring> calls;

 private:
  std::wstring xml_;
  std::vector<std::wstring> callbacks_;
  DISPID first_dispid_;
};

std::wstring Ui(const std::wstring& button) {
  return L"<customUI "
         L"xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\"><ribbon><tabs>"
         L"<tab idMso=\"TabMail\"><group id=\"g\" label=\"G\">" +
         button + L"</group></tab></tabs></ribbon></customUI>";
}

TEST_F(HostObjects, RibbonRefusesACustomUiWithAMistakeOrAnUnknownCallback) {
  // What loading an add-in's ribbon comes to: "loaded", "nothing" or the refusal's description.
  const auto load = [&](const std::wstring& xml, std::vector<std::wstring> callbacks,
                        DISPID first_dispid = 101) -> std::wstring {
    const auto addin = FakeRibbonAddin::Make(xml, std::move(callbacks), first_dispid);
    try {
      return AddinRibbon::Load(context_, *addin.Get(), L"Fake.Addin", App()) ? L"loaded"
                                                                             : L"nothing";
    } catch (const DispatchError& error) {
      return error.description();
    }
  };
  EXPECT_THROW(load(Ui(L"<button id=\"b\" onAction=\"Act\" lable=\"x\"/>"), {L"Act"}),
               CustomUiError);
  EXPECT_THAT(load(Ui(L"<button id=\"b\" onAction=\"Act\" getLabel=\"Missing\"/>"), {L"Act"}),
              HasSubstr(L"Missing"));
  EXPECT_EQ(load(L"", {}), L"nothing") << "an empty customUI adds nothing";
  // Callbacks numbered as the connector's own methods are (1 to 5): a host
  // calling OnConnection or GetCustomUI through IDispatch would reach them.
  const std::wstring act = Ui(L"<button id=\"b\" onAction=\"Act\"/>");
  for (const DISPID first : {1, 5, 0, -4}) {
    EXPECT_THAT(load(act, {L"Act"}, first), HasSubstr(L"DISPID " + std::to_wstring(first)));
  }
  EXPECT_EQ(load(act, {L"Act"}, 6), L"loaded");

  const auto addin = FakeRibbonAddin::Make(
      Ui(L"<button id=\"b\" tag=\"t\" onAction=\"Act\" getLabel=\"Label\" enabled=\"false\"/>"),
      std::vector<std::wstring>{L"Act", L"Label"});
  const std::unique_ptr<AddinRibbon> ribbon =
      AddinRibbon::Load(context_, *addin.Get(), L"Fake.Addin", App());
  ASSERT_NE(ribbon, nullptr);
  ASSERT_EQ(ribbon->groups().size(), 1U);
  const ShownRibbonButton& button = ribbon->groups()[0].buttons.at(0);
  EXPECT_EQ(ribbon->groups()[0].tab, L"TabMail");
  EXPECT_EQ(button.label, L"From getLabel");
  EXPECT_FALSE(button.enabled);
  ribbon->Click(button, nullptr);
  EXPECT_EQ(addin->calls, (std::vector<std::wstring>{L"Label(b)", L"Act(b)"}));
  EXPECT_NE(context_->timings.Text().find("customui\tFake.Addin"), std::string::npos);
  EXPECT_TRUE(context_->lifetime_problems.empty());
}

// The host as Outlook closes: Quit to the application's sinks, the temporary
// controls gone, and calls an add-in makes when it should have let go noted.
TEST_F(HostObjects, QuitReachesTheApplicationsAdvisedSinks) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(app_->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(kIidApplicationEvents11, point.GetAddressOf()), S_OK);
  const ComPtr<Sink> kept = Sink::Make(kIidApplicationEvents11);
  const ComPtr<Sink> gone = Sink::Make(kIidApplicationEvents11);
  DWORD kept_cookie = 0;
  DWORD gone_cookie = 0;
  ASSERT_EQ(point->Advise(kept.Get(), &kept_cookie), S_OK);
  ASSERT_EQ(point->Advise(gone.Get(), &gone_cookie), S_OK);
  EXPECT_EQ(point->Unadvise(gone_cookie), S_OK);

  app_->RaiseQuit();
  EXPECT_EQ(kept->calls, (std::vector<Sink::Call>{{kDispidApplicationQuit, DISPATCH_METHOD, {}}}));
  EXPECT_TRUE(gone->calls.empty());
}

TEST_F(HostObjects, ClosingDiscardsTemporaryControlsAndEverySink) {
  const ComPtr<CommandBarObject> standard = bars_->bars()[0];
  const ComPtr<CommandBarButtonObject> lasting = standard->AddButton(std::nullopt);
  const ComPtr<CommandBarButtonObject> temporary = standard->AddButton(std::nullopt);
  temporary->temporary = true;
  Get(bars_.Get(), L"Add",
      Args(Variant::Text(L"SMSBar"), Variant::Int(1), Missing(), Variant::Bool(true)));
  lasting->Advise(ComPtr<IDispatch>(Sink::Make(kIidCommandBarButtonEvents)));

  bars_->HostClosing();
  EXPECT_EQ(standard->controls().size(), 4U) << "New, Reply, Forward and the lasting one";
  EXPECT_EQ(Try(temporary.Get(), L"Caption", DISPATCH_PROPERTYGET).result, DISP_E_EXCEPTION);
  EXPECT_FALSE(lasting->Unadvise(1)) << "its sinks are gone";
  EXPECT_EQ(bars_->bars().size(), 2U) << "the temporary SMSBar is gone";
  EXPECT_EQ(Try(bars_.Get(), L"Add", DISPATCH_METHOD,
                Args(Variant::Text(L"SMSBar"), Variant::Int(1), Missing(), Variant::Bool(true)))
                .result,
            S_OK)
      << "the next start may make it again";
}

TEST_F(HostObjects, CallsOnceTheyAreOverAreNotedByWhy) {
  Get(app_.Get(), L"Name");
  EXPECT_TRUE(context_->late_calls.empty());
  context_->calls_closed = L"after the host began to exit";
  Get(app_.Get(), L"Name");
  Try(app_.Get(), L"NoSuchMember", DISPATCH_METHOD);
  context_->ReportLateCalls();
  EXPECT_EQ(context_->lifetime_problems,
            std::vector<std::wstring>{L"host objects called after the host began to exit: "
                                      L"Application.Name"});
}

TEST_F(HostObjects, AnArmedUnloadIsPostedOnceTheNthCallReturns) {
  int unloads = 0;
  context_->post_unload = [&] { ++unloads; };
  context_->armed_unload = HostContext::ArmedUnload{.call = L"application.name", .remaining = 2};
  Get(app_.Get(), L"Name");
  EXPECT_EQ(unloads, 0);
  Try(app_.Get(), L"GetNamespace", DISPATCH_METHOD, Args(Variant::Text(L"Other")));
  EXPECT_EQ(unloads, 0) << "a call of another member does not count";
  Get(app_.Get(), L"Name");
  EXPECT_EQ(unloads, 1);
  Get(app_.Get(), L"Name");
  EXPECT_EQ(unloads, 1) << "armed once";
}

}  // namespace
}  // namespace parvel::standin
