// parvel-standin: plays Outlook for the add-in under Wine (see README.md).

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>

#include <atomic>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/utf8.h"
#include "platform/scope_exit.h"
#include "standin_host/addins_win.h"
#include "standin_host/class_registration_win.h"
#include "standin_host/clipboard_win.h"
#include "standin_host/host_context.h"
#include "standin_host/main_window_win.h"
#include "standin_host/redemption_win.h"
#include "standin_host/registry_win.h"
#include "standin_host/scenario.h"
#include "standin_host/scenario_runner_win.h"
#include "standin_host/ui_dispatcher_win.h"
#include "standin_host/virtual_monitors_win.h"

namespace parvel::standin {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitBadInput = 2;
constexpr DWORD kShutdownWaitMs = 30000;

void Report(const std::wstring& line) {
  const std::string bytes = tools::WideToUtf8(line) + "\n";
  DWORD written = 0;
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error != nullptr && error != INVALID_HANDLE_VALUE) {
    WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot be read");
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::wstring> CommandLineArguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> result;
  for (int i = 1; i < count; ++i) result.emplace_back(arguments[i]);
  LocalFree(arguments);
  return result;
}

using ServerEntry = HRESULT(STDAPICALLTYPE*)();

HRESULT CallServerEntry(const std::wstring& dll, const char* entry) {
  HMODULE module = LoadLibraryW(dll.c_str());
  if (module == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  const auto function =
      reinterpret_cast<ServerEntry>(reinterpret_cast<void (*)()>(GetProcAddress(module, entry)));
  const HRESULT result =
      function != nullptr ? function() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  FreeLibrary(module);
  return result;
}

// Registers in-process servers for one run, as regsvr32 would, and removes
// them again when the run ends.
class DllRegistrations {
 public:
  ~DllRegistrations() { UnregisterAll(); }
  bool Register(const std::wstring& dll) {
    const HRESULT result = CallServerEntry(dll, "DllRegisterServer");
    if (FAILED(result)) {
      Report(L"parvel-standin: DllRegisterServer of " + dll + L" failed");
      return false;
    }
    dlls_.push_back(dll);
    return true;
  }
  void UnregisterAll() {
    for (auto it = dlls_.rbegin(); it != dlls_.rend(); ++it)
      CallServerEntry(*it, "DllUnregisterServer");
    dlls_.clear();
  }

 private:
  std::vector<std::wstring> dlls_;
};

// Keys that a host that cannot finish normally must not leave behind.
void RemoveRunKeys() {
  for (const wchar_t* prog_id : kRedemptionProgIds) ClassRegistrations::RemoveLeftovers(prog_id);
  if (const UniqueKey addins = OpenKey(HKEY_CURRENT_USER, kAddinsKey)) {
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = 256;
      if (RegEnumKeyExW(addins.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      ClassRegistrations::RemoveLeftovers(name);
    }
  }
}

void WriteTimings(const std::wstring& path, const TimingLog& timings) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out << timings.Text();
  if (!out.flush()) Report(L"parvel-standin: the timings cannot be written to " + path);
}

int Run() {
  HostOptions options;
  try {
    options = ParseHostOptions(CommandLineArguments());
  } catch (const OptionsError& error) {
    Report(L"parvel-standin: " + tools::Utf8ToWide(error.what()));
    Report(tools::Utf8ToWide(kHostUsage));
    return kExitBadInput;
  }
  if (options.help) {
    Report(tools::Utf8ToWide(kHostUsage));
    return 0;
  }

  auto book = std::make_shared<AddressBook>();
  if (options.data) {
    try {
      *book = ParseAddressBook(ReadFileBytes(*options.data));
    } catch (const std::exception& error) {
      Report(L"parvel-standin: " + *options.data + L": " + tools::Utf8ToWide(error.what()));
      return kExitBadInput;
    }
  }
  std::vector<ScenarioLine> scenario;
  if (options.scenario) {
    try {
      scenario = ParseScenario(tools::Utf8ToWide(ReadFileBytes(*options.scenario)));
    } catch (const ScenarioError& error) {
      Report(*options.scenario + L":" + std::to_wstring(error.line()) + L": " +
             tools::Utf8ToWide(error.what()));
      return kExitBadInput;
    } catch (const std::exception& error) {
      Report(L"parvel-standin: " + *options.scenario + L": " + tools::Utf8ToWide(error.what()));
      return kExitBadInput;
    }
  }

  if (FAILED(OleInitialize(nullptr))) {
    Report(L"parvel-standin: OLE cannot be initialised");
    return kExitFailed;
  }
  const parvel::ScopeExit ole([] { OleUninitialize(); });
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  auto context =
      std::make_shared<HostContext>(options.failures, std::move(book), options.OutboxFolder());
  context->explorer = options.explorer;
  context->ribbon = options.ribbon;
  context->redemption_base = options.redemption_base;
  context->tables = options.tables;
  context->call_meter = CallMeter(options.call_costs);
  context->outlook_version = options.outlook_version;
  std::optional<int> exit_code;
  {
    const RedemptionServer redemption(context, options.redemption);
    for (const std::wstring& prog_id : redemption.problems()) {
      Report(L"parvel-standin: COM does not resolve " + prog_id + L" after registering it");
    }
    DllRegistrations registrations;
    for (const std::wstring& dll : options.register_dlls) {
      if (!registrations.Register(dll)) return kExitBadInput;
    }
    for (const std::wstring& key : options.clear_keys)
      RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    UiDispatcher dispatcher;
    // What the user copied before starting Outlook; from here on, anything
    // that changes the clipboard counts as touching it.
    if (!CopyToClipboard(options.clipboard_text, options.clipboard_image)) {
      Report(
          L"parvel-standin: the clipboard cannot be had for --clipboard-text or --clipboard-image");
      return kExitFailed;
    }
    const DWORD clipboard_sequence = ClipboardSequence();
    for (const auto& [width, height] : options.monitors) AddVirtualMonitor(width, height);
    MainWindow window(context, options);
    window.Start();
    for (const std::wstring& prog_id : options.addins) {
      if (window.AddinState(prog_id) != L"connected") {
        Report(L"parvel-standin: add-in " + prog_id + L" is " + window.AddinState(prog_id));
      }
    }

    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> scenario_done = false;
    std::optional<std::wstring> failure;
    std::thread driver;
    if (options.scenario) {
      driver = std::thread([&] {
        ScenarioRunner runner(dispatcher, window,
                              {.file_name = *options.scenario,
                               .timeout_seconds = options.timeout_seconds,
                               .clipboard_sequence = clipboard_sequence});
        failure = runner.Run(scenario);
        scenario_done = true;
        // A context menu left open would swallow the quit in its own loop.
        dispatcher.Post([] {
          EndMenu();
          PostQuitMessage(0);
        });
        if (WaitForSingleObject(finished, kShutdownWaitMs) != WAIT_OBJECT_0) {
          if (failure) Report(*failure);
          Report(L"parvel-standin: the host did not shut down within 30 s");
          RemoveRunKeys();
          ExitProcess(kExitFailed);
        }
      });
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
      window.AfterTopLevelMessage();
    }
    window.Shutdown();
    context->ReportLateCalls();
    if (options.timings) {
      for (const auto& [call, count] : context->call_meter.counts()) {
        context->timings.AddCount(L"calls", call, count);
      }
      WriteTimings(*options.timings, context->timings);
    }
    if (!context->lifetime_problems.empty()) {
      std::wstring line = L"parvel-standin:";
      for (const std::wstring& problem : context->lifetime_problems) line += L" " + problem + L";";
      line.pop_back();
      Report(line);
      exit_code = kExitFailed;
    }
    for (const std::wstring& problem : context->ui_problems) {
      Report(L"parvel-standin: add-in user interface error: " + problem);
      exit_code = kExitFailed;
    }
    if (options.scenario && !scenario_done) {
      // The window was closed while the scenario still ran; its driver
      // cannot be stopped mid-step, so the process ends here.
      Report(*options.scenario + L": the host was closed before the scenario ended");
      registrations.UnregisterAll();
      RemoveRunKeys();
      ExitProcess(kExitFailed);
    }
    if (driver.joinable()) {
      SetEvent(finished);
      driver.join();
      if (failure) {
        Report(*failure);
        exit_code = kExitFailed;
      }
    }
    CloseHandle(finished);
  }
  return exit_code.value_or(0);
}

}  // namespace
}  // namespace parvel::standin

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return parvel::standin::Run();
  } catch (const std::exception& error) {
    parvel::standin::Report(L"parvel-standin: " + parvel::tools::Utf8ToWide(error.what()));
  } catch (...) {
    parvel::standin::Report(L"parvel-standin: unexpected failure");
  }
  return 1;
}
