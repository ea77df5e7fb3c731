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

void Session::ReleaseHostObjects() noexcept {
  KnownDistLists.clear();
  ContactsFolders.reset();
  MapiNamespace.reset();
  HostApplication.reset();
}

host::Application& Session::Host() {
  if (!HostApplication) {
    throw host::HostError(kRpcEDisconnected, L"Outlook has disconnected the add-in.");
  }
  return *HostApplication;
}

void Session::ReadCurrentUser() {
  if (!MapiNamespace) MapiNamespace = Host().GetNamespace(L"MAPI");
  UserDisplayName = MapiNamespace->CurrentUserName();
}

}  // namespace parvel
