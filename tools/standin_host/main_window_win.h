#pragma once

// The stand-in Outlook window: the add-ins' ribbon groups on top, then the
// command bars with their buttons, the contacts view (whose items open the
// add-ins' context menus) and the outbox below, the add-ins' states in the
// status bar, and a menu to unload and load the add-ins.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "standin_host/addins_win.h"
#include "standin_host/command_bars_win.h"
#include "standin_host/host_options.h"
#include "standin_host/outlook_objects_win.h"
#include "standin_host/scenario_runner_win.h"
#include "standin_host/stopwatch_win.h"

namespace parvel::standin {

struct HostContext;

class MainWindow final : public ScenarioHost {
 public:
  MainWindow(std::shared_ptr<HostContext> context, const HostOptions& options);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND window() const { return window_; }
  // Connects the add-ins as Outlook does at start-up.
  void Start();
  // Closes as Outlook does (AddinManager::Exit), letting go of everything of
  // the add-ins; the window stays until destroyed.
  void Shutdown();
  // The host's message loop handled a message: no code of an add-in runs
  // now, and what the add-ins unloaded meanwhile left behind is checked.
  void AfterTopLevelMessage();

  HWND ToolbarButton(const std::wstring& caption) override;
  std::optional<std::vector<std::wstring>> ShownBar(const std::wstring& name) override;
  std::optional<ButtonFacts> Button(const std::wstring& caption) override;
  HWND RibbonButton(const std::wstring& tab, const std::wstring& label) override;
  std::optional<std::vector<std::wstring>> RibbonGroup(const std::wstring& tab,
                                                       const std::wstring& group) override;
  std::optional<RibbonButtonFacts> RibbonButtonState(const std::wstring& tab,
                                                     const std::wstring& label) override;
  std::optional<std::wstring> ChooseContextMenuEntry(const std::vector<ItemRef>& rows,
                                                     const std::wstring& label) override;
  std::optional<std::wstring> OpenContextMenu(const std::vector<ItemRef>& rows) override;
  std::optional<std::wstring> ContextMenuLabels(const std::vector<ItemRef>& rows,
                                                std::vector<std::wstring>& labels) override;
  std::vector<MailFacts> Mails() override;
  std::wstring AddinState(const std::wstring& prog_id) override;
  std::optional<std::filesystem::path> AddinFolder() override;
  void LoadAddins() override;
  void UnloadAddins() override;
  void RestartHost() override;
  void ArmUnload(const std::wstring& call, int count) override;
  void MarkTime(const std::wstring& label) override;

 private:
  struct ShownControl {
    int command_id;
    HWND window;
    std::wstring caption;
  };
  struct ShownBarRow {
    std::wstring name;
    std::vector<ShownControl> controls;
  };
  struct ShownRibbonControl {
    int command_id;
    HWND window;
    AddinRibbon* ribbon;
    std::wstring tab;
    std::size_t group;
    std::size_t button;
  };
  struct MenuEntry {
    AddinRibbon* ribbon;
    std::size_t menu;
    std::size_t button;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Layout();
  int LayoutRibbon();
  int LayoutBars(int top);
  const ShownRibbonButton* RibbonButtonOf(const ShownRibbonControl& control) const;
  const ShownRibbonControl* FindRibbonControl(const std::wstring& tab,
                                              const std::wstring& label) const;
  void ClickRibbon(int command_id);
  void DrawRibbonButton(const DRAWITEMSTRUCT& item, const ShownRibbonButton& button);
  void FillContacts();
  std::vector<std::size_t> SelectedContacts() const;
  // Selects exactly these rows; the failure text for a row not there.
  std::optional<std::wstring> SelectContacts(const std::vector<ItemRef>& rows);
  ComPtr<SelectionObject> SelectionOf(const std::vector<std::size_t>& rows) const;
  void CheckLetGo(const ComPtr<SelectionObject>& selection, const std::wstring& what) const;
  std::vector<MenuEntry> ContextMenuEntries(const std::vector<std::size_t>& rows) const;
  const ShownRibbonButton* EntryButton(const MenuEntry& entry) const;
  void ShowContextMenu(POINT where);
  void RunContextMenuEntry(const MenuEntry& entry);
  void FillOutbox();
  void ShowStates();
  void DrawControl(const DRAWITEMSTRUCT& item);
  SIZE ControlSize(const CommandBarButtonObject& button, HDC dc) const;

  std::shared_ptr<HostContext> context_;
  // Where the scenario's timer lines count from.
  Stopwatch since_start_;
  double last_mark_ = 0;
  long long calls_at_mark_ = 0;
  ComPtr<CommandBarsObject> bars_;
  ComPtr<ApplicationObject> application_;
  std::unique_ptr<AddinManager> addins_;
  HWND window_ = nullptr;
  HWND outbox_ = nullptr;
  HWND contacts_ = nullptr;
  std::vector<const OutlookItem*> contact_items_;  // the contacts view's rows
  std::vector<HWND> ribbon_windows_;               // tab labels and group frames
  std::vector<ShownRibbonControl> ribbon_shown_;
  std::optional<MenuEntry> chosen_entry_;  // a scenario's choice, until it runs
  bool menu_open_ = false;
  HWND status_ = nullptr;
  HFONT font_ = nullptr;
  std::map<int, HWND> control_windows_;
  std::vector<ShownBarRow> shown_;
  bool layout_posted_ = false;
  bool outbox_posted_ = false;
};

}  // namespace parvel::standin
