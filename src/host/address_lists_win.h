#pragma once

#include <memory>
#include <utility>

#include "com/dispatch_win.h"
#include "host/host_model.h"

namespace parvel::host {

// Address lists and their entries as Outlook's AddressLists and Redemption's
// RDOAddressLists both serve them; only how an entry reads differs (Entry, an
// AddressEntry made from the entry's object).
template <typename Entry>
class AddressEntriesOf final : public AddressEntries {
 public:
  explicit AddressEntriesOf(com::Dispatch entries) : entries_(std::move(entries)) {}
  const com::Dispatch& object() const noexcept { return entries_; }

  std::unique_ptr<AddressEntry> GetFirst() override { return Wrap(entries_.Call(L"GetFirst")); }
  std::unique_ptr<AddressEntry> GetNext() override { return Wrap(entries_.Call(L"GetNext")); }
  int Count() override { return entries_.Call(L"Count").ToInt(); }
  std::unique_ptr<AddressEntry> Item(int index) override {
    return Wrap(entries_.Call(L"Item", {index}));
  }

 private:
  static std::unique_ptr<AddressEntry> Wrap(const com::Variant& entry) {
    if (entry.IsNothing()) return nullptr;
    return std::make_unique<Entry>(com::Dispatch(entry));
  }

  com::Dispatch entries_;
};

template <typename Entry>
class AddressListOf final : public AddressList {
 public:
  explicit AddressListOf(com::Dispatch list) : list_(std::move(list)) {}

  std::wstring Name() override { return list_.Call(L"Name").ToText(); }
  std::unique_ptr<AddressEntries> Entries() override {
    return std::make_unique<AddressEntriesOf<Entry>>(list_.Object(L"AddressEntries"));
  }

 private:
  com::Dispatch list_;
};

template <typename Entry>
class AddressListsOf final : public AddressLists {
 public:
  explicit AddressListsOf(com::Dispatch lists) : lists_(std::move(lists)) {}

  int Count() override { return lists_.Call(L"Count").ToInt(); }
  std::unique_ptr<AddressList> Item(int index) override {
    return std::make_unique<AddressListOf<Entry>>(lists_.Object(L"Item", {index}));
  }

 private:
  com::Dispatch lists_;
};

}  // namespace parvel::host
