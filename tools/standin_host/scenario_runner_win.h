#pragma once

// Runs a scenario from a thread of its own against the windows of this
// process, as a user would: clicks and notifications are posted or sent to
// the real controls on the window thread, and every expectation is checked
// again and again until it holds or the time is up, so no step needs a pause.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "standin_host/scenario.h"
#include "standin_host/ui_dispatcher_win.h"

namespace parvel::standin {

struct ButtonFacts {
  std::wstring tag;
  std::wstring on_action;
  int style = 0;
  bool enabled = true;
  bool visible = true;
  std::optional<std::wstring> face;  // "20x20/0": size and transparent pixels
};

struct RibbonButtonFacts {
  bool enabled = true;
  std::optional<std::wstring> picture;  // "32x32"
};

struct MailFacts {
  std::wstring to;
  std::wstring subject;
  std::wstring body;
  std::wstring state;
  std::wstring file;
};

// What only the host knows: its toolbars, its outbox and its add-ins. Every
// function is called on the window thread.
class ScenarioHost {
 public:
  virtual ~ScenarioHost() = default;
  // The window of a shown, visible toolbar control with this caption.
  virtual HWND ToolbarButton(const std::wstring& caption) = 0;
  // Captions of the shown controls of a shown bar, in order; none: not shown.
  virtual std::optional<std::vector<std::wstring>> ShownBar(const std::wstring& name) = 0;
  virtual std::optional<ButtonFacts> Button(const std::wstring& caption) = 0;
  // The window of a shown ribbon button with this label on the tab (its idMso
  // or id).
  virtual HWND RibbonButton(const std::wstring& tab, const std::wstring& label) = 0;
  // The labels of the buttons of a shown group of the tab; none: not shown.
  virtual std::optional<std::vector<std::wstring>> RibbonGroup(const std::wstring& tab,
                                                               const std::wstring& group) = 0;
  virtual std::optional<RibbonButtonFacts> RibbonButtonState(const std::wstring& tab,
                                                             const std::wstring& label) = 0;
  // Selects these rows of the contacts view and chooses the entry with this
  // label of the context menu they open: the choice is posted and runs after
  // the call. The failure text when a row or the entry is not there.
  virtual std::optional<std::wstring> ChooseContextMenuEntry(const std::vector<ItemRef>& rows,
                                                             const std::wstring& label) = 0;
  // Selects the rows and opens their context menu as a right click does
  // (posted); it stays open until a choice or another window's action.
  virtual std::optional<std::wstring> OpenContextMenu(const std::vector<ItemRef>& rows) = 0;
  // Selects the rows and reads the labels of the add-ins' entries their
  // context menu would show (each entry's getVisible asked), without showing
  // it. The failure text when a row is not there.
  virtual std::optional<std::wstring> ContextMenuLabels(const std::vector<ItemRef>& rows,
                                                        std::vector<std::wstring>& labels) = 0;
  virtual std::vector<MailFacts> Mails() = 0;
  virtual std::wstring AddinState(const std::wstring& prog_id) = 0;
  // The folder of the DLL the first connected add-in was loaded from.
  virtual std::optional<std::filesystem::path> AddinFolder() = 0;
  virtual void LoadAddins() = 0;
  virtual void UnloadAddins() = 0;
  // Closes as Outlook does and starts again.
  virtual void RestartHost() = 0;
  // Once the Nth call of Object.Member from now on has returned, the host
  // posts itself an unload of the add-ins.
  virtual void ArmUnload(const std::wstring& call, int count) = 0;
  // Writes a timer line to the timings: the time since the last one and the
  // host calls the add-ins made meanwhile.
  virtual void MarkTime(const std::wstring& label) = 0;
};

struct RunnerSettings {
  std::wstring file_name;     // as the failure line names the scenario
  int timeout_seconds = 5;    // for each expectation
  int response_seconds = 60;  // for the window thread to take up work
  std::wstring registry_key = L"SOFTWARE\\Parvello";
  std::wstring addins_key = L"Software\\Microsoft\\Office\\Outlook\\Addins";
  // The clipboard's change count before the add-ins started.
  DWORD clipboard_sequence = 0;
};

class ScenarioRunner {
 public:
  ScenarioRunner(UiDispatcher& ui, ScenarioHost& host, RunnerSettings settings);

  // Runs the lines in order on the calling thread (not the window thread).
  // Returns nullopt when all passed, else the one failure line
  // "FILE:LINE: expected ..., got ...".
  std::optional<std::wstring> Run(const std::vector<ScenarioLine>& lines);

 private:
  class Step;
  UiDispatcher& ui_;
  ScenarioHost& host_;
  RunnerSettings settings_;
};

}  // namespace parvel::standin
