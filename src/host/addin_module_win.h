#pragma once

#include <memory>

#include "host/connection.h"
#include "host/session.h"
#include "settings/registry_port.h"

namespace parvel::host {

// Everything the loaded DLL owns: the session handed to every presenter, the
// registry, and the button's picture. One instance, made on first use.
class AddinModule {
 public:
  static AddinModule& Get();

  AddinModule(const AddinModule&) = delete;
  AddinModule& operator=(const AddinModule&) = delete;

  Session& session() noexcept;
  RegistryPort& registry() noexcept;
  ButtonFacePainter& painter() noexcept;

  // The toolbar button's click: the compose window, a single instance.
  void ShowComposeWindow();

 private:
  AddinModule();
  ~AddinModule();

  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace parvel::host
