#include "support/fake_outlook.h"

#include <utility>

namespace parvel::fakes {
namespace {

constexpr auto kMapiENotFound = static_cast<std::int32_t>(0x8004010FU);
constexpr auto kENotImpl = static_cast<std::int32_t>(0x80004001U);

class NoFolders final : public host::FolderEnumerator {
 public:
  std::unique_ptr<host::Folder> Next() override { return nullptr; }
};

}  // namespace

FakeNamespace::FakeNamespace(CallRecorder& recorder, std::wstring user_name)
    : recorder_(recorder), lifetime_(recorder), user_name_(std::move(user_name)) {}

std::wstring FakeNamespace::CurrentUserName() {
  recorder_.Record(L"Namespace.CurrentUser.Name");
  return user_name_;
}

std::unique_ptr<host::FolderEnumerator> FakeNamespace::TopLevelFolders() {
  recorder_.Record(L"Namespace.Folders");
  return std::make_unique<NoFolders>();
}

std::unique_ptr<host::Item> FakeNamespace::GetItemFromID(const std::wstring& entry_id) {
  recorder_.Record(L"Namespace.GetItemFromID(" + entry_id + L")");
  throw host::HostError(kMapiENotFound, L"The item could not be found.");
}

std::unique_ptr<host::Namespace> FakeApplication::GetNamespace(const std::wstring& type) {
  recorder_.Record(L"Application.GetNamespace(" + type + L")");
  return std::make_unique<FakeNamespace>(recorder_, user_name);
}

std::unique_ptr<host::MailItem> FakeApplication::CreateItem(int item_type) {
  recorder_.Record(L"Application.CreateItem(" + std::to_wstring(item_type) + L")");
  return std::make_unique<FakeMailItem>(recorder_, ++mail_items_);
}

std::unique_ptr<host::CommandBars> FakeApplication::ActiveExplorerCommandBars() {
  recorder_.Record(L"Application.ActiveExplorer.CommandBars");
  throw host::HostError(kENotImpl, L"This host has no command bars.");
}

std::uintptr_t FakeApplication::ActiveExplorerWindow() {
  recorder_.Record(L"Application.ActiveExplorer.Window");
  return 0;  // no explorer window
}

std::unique_ptr<host::OutlookObjectModel> FakeApplication::ObjectModel() {
  return make_object_model ? make_object_model() : nullptr;
}

}  // namespace parvel::fakes
