#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/host_model.h"
#include "support/call_recorder.h"

namespace parvel::fakes {

// Logs each property set and method call as "SafeMailItem.<name>...".
class FakeSafeMailItem final : public host::SafeMailItem {
 public:
  explicit FakeSafeMailItem(CallRecorder& recorder) : recorder_(recorder), lifetime_(recorder) {}

  void SetItem(host::MailItem& item) override;  // logs the FakeMailItem's label
  void SetTo(const std::wstring& to) override;
  void AddRecipient(const std::wstring& address) override;
  void SetSubject(const std::wstring& subject) override;
  void SetBody(const std::wstring& body) override;
  void Save() override;
  void Send() override;

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
};

class FakeMapiUtils final : public host::MapiUtils {
 public:
  FakeMapiUtils(CallRecorder& recorder, bool lower_case_hex = false)
      : recorder_(recorder), lifetime_(recorder), lower_case_hex_(lower_case_hex) {}

  void DeliverNow() override;
  void Cleanup() override;
  // Two upper-case hexadecimal digits per byte, as Redemption gives them
  // (lower-case ones when so made).
  std::wstring HrArrayToString(const std::vector<std::uint8_t>& bytes) override;

 private:
  CallRecorder& recorder_;
  CallRecorder::Lifetime lifetime_;
  bool lower_case_hex_;
};

// Creation is logged as "CreateObject(<ProgID>)"; FailOn(L"CreateObject")
// plays a machine without the library.
class FakeRedemption final : public host::Redemption {
 public:
  explicit FakeRedemption(CallRecorder& recorder) : recorder_(recorder) {}

  std::unique_ptr<host::SafeMailItem> CreateSafeMailItem() override;
  std::unique_ptr<host::MapiUtils> CreateMapiUtils() override;
  std::unique_ptr<host::AddressLists> CreateAddressLists() override;
  std::unique_ptr<host::SafeDistList> CreateSafeDistList() override;
  // Unset, a Redemption without MAPITable: refused before anything is logged.
  std::unique_ptr<host::AddressTable> CreateAddressTable(host::AddressEntries& entries) override;

  // Make the address-book objects; their creation fails when unset.
  std::function<std::unique_ptr<host::AddressLists>()> make_address_lists;
  std::function<std::unique_ptr<host::SafeDistList>()> make_safe_dist_list;
  std::function<std::unique_ptr<host::AddressTable>(host::AddressEntries&)> make_address_table;
  // The MAPI utilities write hexadecimal text in lower case.
  bool lower_case_hex = false;

 private:
  CallRecorder& recorder_;
};

}  // namespace parvel::fakes
