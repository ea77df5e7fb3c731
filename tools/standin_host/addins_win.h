#pragma once

// Outlook's COM add-ins: found under the per-user add-in key, created by
// ProgID in process and told of their connection through IDTExtensibility2,
// in the order and with the arguments Outlook uses.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/extensibility_win.h"
#include "standin_host/class_registration_win.h"
#include "standin_host/dispatch_win.h"
#include "standin_host/ribbon_win.h"

namespace parvel::standin {

inline constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";

class AddInObject;

struct AddinRecord {
  std::wstring prog_id;
  std::wstring friendly_name;
  enum class State { Disconnected, Connected, Failed } state = State::Disconnected;
  std::wstring problem;  // why it failed
};

std::wstring StateText(AddinRecord::State state);  // connected, disconnected, failed

class AddinManager {
 public:
  // `only`: ProgIDs to load; empty loads every add-in with LoadBehavior 3.
  AddinManager(std::shared_ptr<HostContext> context, ComPtr<IDispatch> application,
               std::vector<std::wstring> only);
  ~AddinManager();
  AddinManager(const AddinManager&) = delete;
  AddinManager& operator=(const AddinManager&) = delete;

  // Connects every registered add-in not yet connected: OnConnection with
  // `mode`, then OnAddInsUpdate to all connected ones, and at start-up
  // OnStartupComplete.
  void Connect(ext_ConnectMode mode);
  // On shutdown OnBeginShutdown to all first; then OnDisconnection with
  // `mode` to each, release, and CoFreeUnusedLibraries.
  void Disconnect(ext_DisconnectMode mode);

  const std::vector<AddinRecord>& records() const;
  // The ribbons of the connected add-ins, in loading order.
  std::vector<AddinRibbon*> Ribbons() const;

 private:
  struct Loaded;
  void LoadRibbon(Loaded& addin, IUnknown& object);

  std::shared_ptr<HostContext> context_;
  ComPtr<IDispatch> application_;
  std::vector<std::wstring> only_;
  std::vector<std::unique_ptr<Loaded>> addins_;
  // The host's live objects when the first add-in was about to connect.
  std::map<DispatchObject*, ULONG> objects_before_connection_;
  mutable std::vector<AddinRecord> records_;
  ClassRegistrations registrations_;
};

}  // namespace parvel::standin
