#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/host_model.h"
#include "host/outlook_model.h"
#include "support/call_recorder.h"

namespace parvel::fakes {

// A mail item made by FakeApplication, numbered from 1 in order of creation.
class FakeMailItem final : public host::MailItem {
 public:
  FakeMailItem(CallRecorder& recorder, int number) : lifetime_(recorder), number_(number) {}
  std::wstring Label() const { return L"MailItem " + std::to_wstring(number_); }

 private:
  CallRecorder::Lifetime lifetime_;
  int number_;
};

// A namespace with no stores: no top-level folders and no item for any entry
// ID. Derive from it to offer an address book.
class FakeNamespace : public host::Namespace {
 public:
  FakeNamespace(CallRecorder& recorder, std::wstring user_name);

  std::wstring CurrentUserName() override;
  std::unique_ptr<host::FolderEnumerator> TopLevelFolders() override;
  std::unique_ptr<host::Item> GetItemFromID(const std::wstring& entry_id) override;

 protected:
  CallRecorder& recorder_;

 private:
  CallRecorder::Lifetime lifetime_;
  std::wstring user_name_;
};

class FakeApplication final : public host::Application {
 public:
  explicit FakeApplication(CallRecorder& recorder) : recorder_(recorder) {}

  std::unique_ptr<host::Namespace> GetNamespace(const std::wstring& type) override;
  std::unique_ptr<host::MailItem> CreateItem(int item_type) override;
  std::unique_ptr<host::CommandBars> ActiveExplorerCommandBars() override;
  std::uintptr_t ActiveExplorerWindow() override;
  std::unique_ptr<host::OutlookObjectModel> ObjectModel() override;

  // The current user's name in the namespaces handed out.
  std::wstring user_name = L"Sales Desk";
  // Makes Outlook's own object model; none when unset, as from a host without it.
  std::function<std::unique_ptr<host::OutlookObjectModel>()> make_object_model;

 private:
  CallRecorder& recorder_;
  int mail_items_ = 0;
};

}  // namespace parvel::fakes
