#pragma once

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>

#include "host/diagnostics.h"
#include "host/host_model.h"

namespace parvel::addin {

// The add-in's composition root: everything one connection to the host owns
// (the settings registry, the session with every host object, the windows,
// the toolbar button). The connector makes it at connection and lets go of
// it at disconnection, after Disconnect; a handler that is running (a
// window's, the button's, a ribbon callback) then keeps it, and the host
// objects, until the handler ends. Nothing of it is global, so a second
// connection after an unload starts afresh.
class AddinModule final {
  struct Token {};

 public:
  static std::shared_ptr<AddinModule> Make();
  explicit AddinModule(Token);
  ~AddinModule();
  AddinModule(const AddinModule&) = delete;
  AddinModule& operator=(const AddinModule&) = delete;

  // Takes the host application, watches for its Quit and puts the button on
  // the toolbar.
  void Connect(Microsoft::WRL::ComPtr<IDispatch> application, IDispatch* addin_instance);
  // The host is closing (its Quit, OnBeginShutdown, or a last release without
  // a disconnection): the compose window keeps its unsent work, the windows
  // close and every host object but the button is let go of, without a call
  // into the host.
  void ReleaseHost() noexcept;
  // Deletes the button and lets go of everything of the host: nothing of it
  // is touched afterwards.
  void Disconnect() noexcept;

  // What a click on the button does: the compose window, in front.
  void ShowComposeWindow() noexcept;
  // The compose window in front, with these items added to its recipients
  // as the contacts picker's "&Select" adds them, read one at a time.
  void SendSmsTo(std::unique_ptr<host::ItemEnumerator> items);
  // Where the failures passed over go.
  host::Diagnostics& diagnostics() noexcept;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace parvel::addin
