#pragma once

// The stand-in host's command line.

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "standin_host/call_costs.h"

namespace parvel::standin {

class OptionsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Operations made to fail, by "Object.Member" (SafeMailItem.Send) or by a
// Redemption ProgID for its creation; compared ignoring letter case.
class FailureSet {
 public:
  void Add(std::wstring_view name);
  bool Contains(std::wstring_view name) const;
  bool Contains(std::wstring_view object, std::wstring_view member) const;
  bool empty() const { return names_.empty(); }

 private:
  std::set<std::wstring> names_;  // lower case
};

struct HostOptions {
  std::optional<std::wstring> data;
  std::optional<std::wstring> outbox;
  std::optional<std::wstring> scenario;
  bool redemption = true;
  bool explorer = true;
  bool ribbon = true;  // false: an Outlook 2007 without the explorer's ribbon
  // Outlook's major version, as Application.Version tells it: 16 (2016 and
  // later), 12 (2007, --no-ribbon) or 11 (2003, --outlook-2003).
  int outlook_version = 16;
  int redemption_base = 0;  // where Redemption's collections count from
  // Folder.GetTable and Redemption's MAPITable are offered; false plays
  // Outlook 2003 with a Redemption that has no MAPITable.
  bool tables = true;
  CallCosts call_costs;
  FailureSet failures;
  std::vector<std::wstring> bars;  // built-in bars instead of the default ones
  std::vector<std::wstring> register_dlls;
  std::vector<std::wstring> addins;      // load only these ProgIDs; empty: all
  std::vector<std::wstring> clear_keys;  // under HKEY_CURRENT_USER, removed at start
  int timeout_seconds = 5;
  std::optional<std::wstring> timings;  // where the timings go at exit
  // What the user copied before Outlook started: put on the clipboard
  // before the add-ins connect.
  std::optional<std::wstring> clipboard_text;
  bool clipboard_image = false;
  // Monitors played for the add-ins right of the real ones: width, height.
  std::vector<std::pair<int, int>> monitors;
  bool help = false;

  // The outbox folder: the option, else "outbox" beside the data file, else
  // "outbox" in the current folder.
  std::wstring OutboxFolder() const;
};

// Throws OptionsError for an unknown option or a missing value.
HostOptions ParseHostOptions(const std::vector<std::wstring>& args);

extern const char* const kHostUsage;

}  // namespace parvel::standin
