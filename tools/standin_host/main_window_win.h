#pragma once

// The stand-in Outlook window: the command bars with their buttons on top,
// the outbox below, the add-ins' states in the status bar, and a menu to
// unload and load the add-ins.

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
  // Disconnects the add-ins for shutdown; the window stays until destroyed.
  void Shutdown();

  HWND ToolbarButton(const std::wstring& caption) override;
  std::optional<std::vector<std::wstring>> ShownBar(const std::wstring& name) override;
  std::optional<ButtonFacts> Button(const std::wstring& caption) override;
  std::vector<MailFacts> Mails() override;
  std::wstring AddinState(const std::wstring& prog_id) override;
  std::optional<std::filesystem::path> AddinFolder() override;
  void LoadAddins() override;
  void UnloadAddins() override;

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

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Layout();
  int LayoutBars();
  void FillOutbox();
  void ShowStates();
  void DrawControl(const DRAWITEMSTRUCT& item);
  SIZE ControlSize(const CommandBarButtonObject& button, HDC dc) const;

  std::shared_ptr<HostContext> context_;
  ComPtr<CommandBarsObject> bars_;
  ComPtr<ApplicationObject> application_;
  std::unique_ptr<AddinManager> addins_;
  HWND window_ = nullptr;
  HWND outbox_ = nullptr;
  HWND status_ = nullptr;
  HFONT font_ = nullptr;
  std::map<int, HWND> control_windows_;
  std::vector<ShownBarRow> shown_;
  bool layout_posted_ = false;
  bool outbox_posted_ = false;
};

}  // namespace parvel::standin
