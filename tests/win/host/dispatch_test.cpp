#include "com/dispatch_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/host_error.h"
#include "win/host/scripted_object_win.h"

namespace parvel::host {
namespace {

using Microsoft::WRL::ComPtr;
using ::testing::AllOf;
using testing::Call;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Property;
using testing::Raises;
using testing::Returns;
using testing::ScriptedObject;
using ::testing::Throws;

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

TEST_F(DispatchTest, PassesArgumentsInOrderAndReadsResults) {
  const auto object = ScriptedObject::Make();
  object->Define(L"Add", [](const Call& call, com::Variant& result, EXCEPINFO*) {
    result = com::Variant(call.args.at(0).ToInt() * 10 + call.args.at(1).ToInt());
    return S_OK;
  });
  object->Define(L"Caption", Returns(com::Variant(L"Send SMS")));
  object->Define(L"Controls", Returns(com::Variant()));
  const com::Dispatch dispatch(object);
  EXPECT_EQ(dispatch.Call(L"Add", {1, 2}).ToInt(), 12);
  EXPECT_EQ(dispatch.Call(L"Caption").ToText(), L"Send SMS");
  EXPECT_EQ(object->calls()[0].flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);

  dispatch.Put(L"Caption", L"x");
  dispatch.Call(L"Controls", {3, com::Variant::Missing()});
  const Call& put = object->calls()[2];
  EXPECT_EQ(put.flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(put.args.at(0).ToText(), L"x");
  const Call& missing = object->calls()[3];
  EXPECT_EQ(missing.args.at(1).get()->vt, VT_ERROR);
  EXPECT_EQ(missing.args.at(1).get()->scode, DISP_E_PARAMNOTFOUND);
}

TEST_F(DispatchTest, HostFailuresCarryTheHostsOwnMessage) {
  const auto object = ScriptedObject::Make();
  object->Define(L"Send",
                 Raises(static_cast<HRESULT>(0x80040115), L"The server is not available."));
  const com::Dispatch dispatch(object);
  EXPECT_THAT(
      [&] { dispatch.Call(L"Send"); },
      Throws<HostError>(AllOf(Property(&HostError::hresult, static_cast<std::int32_t>(0x80040115)),
                              Property(&HostError::message, L"The server is not available."))));
  EXPECT_THAT([&] { dispatch.Call(L"NoSuchMember"); },
              Throws<HostError>(AllOf(Property(&HostError::hresult, DISP_E_UNKNOWNNAME),
                                      Property(&HostError::message, Not(IsEmpty())))));
  EXPECT_THROW(com::Dispatch().Call(L"Name"), HostError);
}

TEST(Variant, ConvertsAndCopiesValues) {
  const com::Variant bytes(std::vector<std::uint8_t>{0x00, 0xAB, 0xFF});
  EXPECT_EQ(bytes.ToBytes(), (std::vector<std::uint8_t>{0x00, 0xAB, 0xFF}));
  const com::Variant copy = bytes;
  EXPECT_EQ(copy.ToBytes(), bytes.ToBytes());
  EXPECT_EQ(com::Variant(L"42").ToInt(), 42);
  EXPECT_TRUE(com::Variant(true).ToBool());
  EXPECT_TRUE(com::Variant().IsNullOrEmpty());
  EXPECT_THROW(com::Variant(L"x").ToDispatch(), HostError);
  EXPECT_THROW(com::Variant(L"abc").ToInt(), HostError);
}

// A VARIANT array taking the values over; element i by reference to the
// caller's values[i] where by_reference says so.
com::Variant VariantArray(std::vector<com::Variant>& values, bool by_reference) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size()));
  VARIANT* items = nullptr;
  SafeArrayAccessData(array, reinterpret_cast<void**>(&items));
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (by_reference) {
      items[i].vt = VT_VARIANT | VT_BYREF;
      items[i].pvarVal = values[i].get();
    } else {
      VariantCopy(&items[i], values[i].get());
    }
  }
  SafeArrayUnaccessData(array);
  com::Variant result;
  result.get()->vt = VT_ARRAY | VT_VARIANT;
  result.get()->parray = array;
  return result;
}

TEST(Variant, TakesMultiValuedBinariesInEveryPacking) {
  const std::vector<std::vector<std::uint8_t>> members = {{0x00, 0xC0}, {}, {0xFF}};
  std::vector<com::Variant> values;
  for (const auto& member : members) values.emplace_back(member);
  EXPECT_EQ(VariantArray(values, false).ToByteArrays(), members);
  EXPECT_EQ(VariantArray(values, true).ToByteArrays(), members);

  // One value alone, held or by reference.
  EXPECT_EQ(values[0].ToByteArrays(), std::vector<std::vector<std::uint8_t>>{members[0]});
  com::Variant reference;
  reference.get()->vt = VT_ARRAY | VT_UI1 | VT_BYREF;
  reference.get()->pparray = &values[2].get()->parray;
  EXPECT_EQ(reference.ToByteArrays(), std::vector<std::vector<std::uint8_t>>{members[2]});
  reference.Detach();  // the array stays values[2]'s

  EXPECT_THROW(com::Variant(L"00C0").ToByteArrays(), HostError);
}

}  // namespace
}  // namespace parvel::host
