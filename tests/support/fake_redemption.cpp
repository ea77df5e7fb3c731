#include "support/fake_redemption.h"

#include "support/fake_outlook.h"

namespace parvel::fakes {
namespace {

constexpr auto kRegdbEClassNotReg = static_cast<std::int32_t>(0x80040154U);

[[noreturn]] void NotRegistered() {
  throw host::HostError(kRegdbEClassNotReg, L"Class not registered");
}

}  // namespace

void FakeSafeMailItem::SetItem(host::MailItem& item) {
  const auto* fake = dynamic_cast<const FakeMailItem*>(&item);
  recorder_.Record(L"SafeMailItem.Item=" + (fake ? fake->Label() : L"(not a fake)"));
}

void FakeSafeMailItem::SetTo(const std::wstring& to) { recorder_.Record(L"SafeMailItem.To=" + to); }

void FakeSafeMailItem::AddRecipient(const std::wstring& address) {
  recorder_.Record(L"SafeMailItem.Recipients.Add(" + address + L")");
}

void FakeSafeMailItem::SetSubject(const std::wstring& subject) {
  recorder_.Record(L"SafeMailItem.Subject=" + subject);
}

void FakeSafeMailItem::SetBody(const std::wstring& body) {
  recorder_.Record(L"SafeMailItem.Body=" + body);
}

void FakeSafeMailItem::Save() { recorder_.Record(L"SafeMailItem.Save()"); }

void FakeSafeMailItem::Send() { recorder_.Record(L"SafeMailItem.Send()"); }

void FakeMapiUtils::DeliverNow() { recorder_.Record(L"MAPIUtils.DeliverNow()"); }

void FakeMapiUtils::Cleanup() { recorder_.Record(L"MAPIUtils.Cleanup()"); }

std::wstring FakeMapiUtils::HrArrayToString(const std::vector<std::uint8_t>& bytes) {
  const wchar_t* const digits = lower_case_hex_ ? L"0123456789abcdef" : L"0123456789ABCDEF";
  std::wstring hex;
  for (const std::uint8_t byte : bytes) {
    hex.push_back(digits[byte >> 4]);
    hex.push_back(digits[byte & 0xFU]);
  }
  recorder_.Record(L"MAPIUtils.HrArrayToString(" + hex + L")");
  return hex;
}

std::unique_ptr<host::SafeMailItem> FakeRedemption::CreateSafeMailItem() {
  recorder_.Record(L"CreateObject(Redemption.SafeMailItem)");
  return std::make_unique<FakeSafeMailItem>(recorder_);
}

std::unique_ptr<host::MapiUtils> FakeRedemption::CreateMapiUtils() {
  recorder_.Record(L"CreateObject(Redemption.MAPIUtils)");
  return std::make_unique<FakeMapiUtils>(recorder_, lower_case_hex);
}

std::unique_ptr<host::AddressLists> FakeRedemption::CreateAddressLists() {
  recorder_.Record(L"CreateObject(redemption.addresslists)");
  if (!make_address_lists) NotRegistered();
  return make_address_lists();
}

std::unique_ptr<host::SafeDistList> FakeRedemption::CreateSafeDistList() {
  recorder_.Record(L"CreateObject(Redemption.SafeDistList)");
  if (!make_safe_dist_list) NotRegistered();
  return make_safe_dist_list();
}

std::unique_ptr<host::AddressTable> FakeRedemption::CreateAddressTable(
    host::AddressEntries& entries) {
  if (!make_address_table) NotRegistered();
  return make_address_table(entries);
}

}  // namespace parvel::fakes
