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
  known_dist_lists_.clear();
  contact_folders_.reset();
  namespace_.reset();
  application_.reset();
}

void Session::StopIfDisconnected() const {
  if (disconnected_) throw host::HostDisconnected{};
}

void Session::Connect(std::unique_ptr<host::Application> application) {
  // The mail path is this connection's choice, made anew.
  mail_path_.reset();
  application_ = std::move(application);
}

host::Application& Session::Host() {
  if (!Connected()) {
    throw host::HostError(kRpcEDisconnected, L"Outlook has disconnected the add-in.");
  }
  return *application_;
}

host::Namespace& Session::Namespace() {
  if (!namespace_) namespace_ = Host().GetNamespace(L"MAPI");
  return *namespace_;
}

void Session::ChooseMailPath() {
  // Without a connected host only Redemption can be had.
  mail_path_ = host::ChooseMailPath(
      *redemption_, Connected() ? application_->ObjectModel() : nullptr, diagnostics_);
}

host::MailPath& Session::MailPath() {
  if (!mail_path_) ChooseMailPath();
  return *mail_path_;
}

void Session::ReadCurrentUser() { user_display_name = Namespace().CurrentUserName(); }

host::Item* Session::KnownDistList(const std::wstring& entry_id) const {
  const auto known = known_dist_lists_.find(entry_id);
  return known == known_dist_lists_.end() ? nullptr : known->second.get();
}

}  // namespace parvel
