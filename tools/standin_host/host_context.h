#pragma once

// What every object the stand-in host hands out shares: the address book,
// the outbox, the failures asked for on the command line, and the window's
// wish to hear about changes.

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "standin_host/address_book.h"
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

  // Set by the main window while it shows the toolbars and the outbox.
  std::function<void()> outbox_changed;
  std::function<void()> toolbar_changed;

  void OutboxChanged() const {
    if (outbox_changed) outbox_changed();
  }
  void ToolbarChanged() const {
    if (toolbar_changed) toolbar_changed();
  }
};

}  // namespace parvel::standin
