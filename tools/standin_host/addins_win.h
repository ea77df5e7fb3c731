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
#include "standin_host/outlook_objects_win.h"
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
  AddinManager(std::shared_ptr<HostContext> context, ComPtr<ApplicationObject> application,
               std::vector<std::wstring> only);
  ~AddinManager();
  AddinManager(const AddinManager&) = delete;
  AddinManager& operator=(const AddinManager&) = delete;

  // Connects every registered add-in not yet connected: OnConnection with
  // `mode`, then OnAddInsUpdate to all connected ones, and at start-up
  // OnStartupComplete.
  void Connect(ext_ConnectMode mode);
  // As the add-ins dialog unloads them: OnDisconnection(ext_dm_UserClosed) to
  // each connected add-in, then release. CheckUnloaded follows once no code of
  // an add-in runs.
  void Unload();
  // Outlook 2010 and later close: Application.Quit; then OnBeginShutdown to
  // the add-ins whose key holds RequireShutdownNotification = 1, and
  // OnDisconnection(ext_dm_HostShutdown) to each of them; then every add-in
  // is released, disconnected or not (fast shutdown). From then on a call
  // into the host's objects fails the run. The caller lets go of what the
  // host itself keeps of the add-ins, then checks (CheckUnloaded).
  void Exit();
  // CoFreeUnusedLibraries, then what the add-ins unloaded since the last
  // check left behind: host objects they still hold, DLLs still loaded.
  void CheckUnloaded();

  const std::vector<AddinRecord>& records() const;
  // The ribbons of the connected add-ins, in loading order.
  std::vector<AddinRibbon*> Ribbons() const;

 private:
  struct Loaded;
  void LoadRibbon(Loaded& addin, IUnknown& object);
  // Lets go of a connected add-in's objects; it is checked at the next check.
  void Release(Loaded& addin);

  std::shared_ptr<HostContext> context_;
  ComPtr<ApplicationObject> application_;
  std::vector<std::wstring> only_;
  std::vector<std::unique_ptr<Loaded>> addins_;
  std::vector<const Loaded*> unchecked_;  // released since the last check
  // The host's live objects when the first add-in was about to connect.
  std::map<DispatchObject*, ULONG> objects_before_connection_;
  mutable std::vector<AddinRecord> records_;
  ClassRegistrations registrations_;
};

}  // namespace parvel::standin
