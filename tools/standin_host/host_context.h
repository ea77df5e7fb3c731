#pragma once

// What every object the stand-in host hands out shares: the address book,
// the outbox, the failures asked for on the command line, and the window's
// wish to hear about changes.

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "standin_host/address_book.h"
#include "standin_host/call_costs.h"
#include "standin_host/host_options.h"
#include "standin_host/mail_outbox.h"
#include "standin_host/named_properties.h"
#include "standin_host/timing_log.h"

namespace parvel::standin {

class DispatchObject;

struct HostContext {
  HostContext(FailureSet failures_in, std::shared_ptr<const AddressBook> book_in,
              std::filesystem::path outbox_folder)
      : failures(std::move(failures_in)),
        book(std::move(book_in)),
        outbox(std::move(outbox_folder)) {}

  FailureSet failures;
  std::shared_ptr<const AddressBook> book;
  Outbox outbox;
  NamedProperties named_properties;
  bool explorer = true;
  // The main window (an HWND), which the explorer's IOleWindow names.
  void* explorer_window = nullptr;
  bool ribbon = true;          // Outlook 2010 and later; false plays Outlook 2007
  int redemption_base = 0;     // Redemption's versions count from 0 or from 1
  bool tables = true;          // Folder.GetTable and Redemption.MAPITable offered
  CallMeter call_meter;        // every call of an add-in, counted and charged
  int outlook_version = 16;    // Outlook's major version
  int next_command_id = 1000;  // window command IDs of toolbar controls
  // The host's objects alive now (Outlook's and Redemption's); every add-in
  // disconnected, as many as before the first of them connected.
  std::set<DispatchObject*> live_objects;
  // What an add-in left behind at its unloads; any fails the run.
  std::vector<std::wstring> lifetime_problems;
  // What Office reports with "show add-in user interface errors" on: a
  // customUI refused, a callback that failed. Any fails the run.
  std::vector<std::wstring> ui_problems;
  TimingLog timings;

  // Why calls into the host's objects are over, while they are: every add-in
  // was disconnected (until one connects again), or the host began to exit.
  // A call made meanwhile, through an object an add-in should have let go of,
  // is noted by its Object.Member and fails the run.
  std::optional<std::wstring> calls_closed;
  std::map<std::wstring, std::set<std::wstring>> late_calls;  // why -> calls
  // An unload a scenario armed: once the add-in's Nth call of Object.Member
  // from then on has returned, the host posts itself an unload.
  struct ArmedUnload {
    std::wstring call;
    int remaining = 1;
  };
  std::optional<ArmedUnload> armed_unload;

  // Set by the main window while it shows the toolbars and the outbox.
  std::function<void()> outbox_changed;
  std::function<void()> toolbar_changed;
  // Set by the main window: posts it an unload of the add-ins.
  std::function<void()> post_unload;

  void OutboxChanged() const {
    if (outbox_changed) outbox_changed();
  }
  void ToolbarChanged() const {
    if (toolbar_changed) toolbar_changed();
  }

  // Every call an add-in makes on one of the host's objects passes here
  // first, and CallEnded when it has returned.
  void NoteCall(std::wstring_view object, std::wstring_view member) {
    if (calls_closed) {
      late_calls[*calls_closed].insert(std::wstring(object) + L"." + std::wstring(member));
    }
  }
  void CallEnded(std::wstring_view object, std::wstring_view member) {
    if (!armed_unload || !SameCall(armed_unload->call, object, member)) return;
    if (--armed_unload->remaining > 0) return;
    armed_unload.reset();
    if (post_unload) post_unload();
  }
  // The late calls as lifetime problems, once.
  void ReportLateCalls() {
    for (const auto& [why, calls] : late_calls) {
      std::wstring names;
      for (const std::wstring& call : calls) names += (names.empty() ? L"" : L", ") + call;
      std::wstring problem = L"host objects called " + why;
      problem += L": ";
      problem += names;
      lifetime_problems.push_back(std::move(problem));
    }
    late_calls.clear();
  }

 private:
  static bool SameCall(std::wstring_view call, std::wstring_view object, std::wstring_view member) {
    const std::wstring made = std::wstring(object) + L"." + std::wstring(member);
    return call.size() == made.size() &&
           std::equal(call.begin(), call.end(), made.begin(), [](wchar_t a, wchar_t b) {
             return std::towlower(static_cast<std::wint_t>(a)) ==
                    std::towlower(static_cast<std::wint_t>(b));
           });
  }
};

}  // namespace parvel::standin
