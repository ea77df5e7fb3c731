#include "host/session.h"

#include <stdexcept>
#include <utility>

namespace parvel {
namespace {

constexpr auto kRpcEDisconnected = static_cast<std::int32_t>(0x80010108U);

}  // namespace

Session::Session(std::unique_ptr<host::Redemption> redemption, host::Diagnostics& diagnostics)
    : redemption_(std::move(redemption)), diagnostics_(diagnostics) {
  if (!redemption_) throw std::invalid_argument("a session needs a Redemption factory");
}

Session::Handler::~Handler() {
  if (--session_.handlers_ == 0 && session_.disconnected_) session_.LetGoOfHostObjects();
}

void Session::ReleaseHostObjects() noexcept {
  disconnected_ = true;
  if (handlers_ == 0) LetGoOfHostObjects();
}

void Session::LetGoOfHostObjects() noexcept {
  mail_path_.reset();
  KnownDistLists.clear();
  ContactsFolders.reset();
  MapiNamespace.reset();
  HostApplication.reset();
}

void Session::StopIfDisconnected() const {
  if (disconnected_) throw host::HostDisconnected{};
}

host::Application& Session::Host() {
  if (!HostApplication || disconnected_) {
    throw host::HostError(kRpcEDisconnected, L"Outlook has disconnected the add-in.");
  }
  return *HostApplication;
}

void Session::ChooseMailPath() {
  // Without a connected host only Redemption can be had.
  mail_path_ = host::ChooseMailPath(
      *redemption_, HostApplication && !disconnected_ ? HostApplication->ObjectModel() : nullptr,
      diagnostics_);
}

host::MailPath& Session::MailPath() {
  if (!mail_path_) ChooseMailPath();
  return *mail_path_;
}

void Session::ReadCurrentUser() {
  if (!MapiNamespace) MapiNamespace = Host().GetNamespace(L"MAPI");
  UserDisplayName = MapiNamespace->CurrentUserName();
}

}  // namespace parvel
