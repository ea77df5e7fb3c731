#include "standin_host/host_options.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <stdexcept>

#include "common/utf8.h"

namespace parvel::standin {
namespace {

std::wstring Lower(std::wstring_view text) {
  std::wstring lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t ch) {
    return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(ch)));
  });
  return lower;
}

}  // namespace

const char* const kHostUsage =
    "usage: parvel-standin [options]\n"
    "  --data FILE        address book (JSON); default: an empty one\n"
    "  --outbox DIR       where sent mails go as NNNN.eml; default: outbox beside the data\n"
    "  --scenario FILE    run the scenario, then exit (0: all expectations met)\n"
    "  --no-redemption    do not offer the Redemption classes\n"
    "  --no-explorer      ActiveExplorer gives no window\n"
    "  --no-ribbon        no ribbon and no context menus of add-ins, as Outlook 2007\n"
    "  --outlook-2003     Outlook 2003 without Redemption: no ribbon, no 2007 object model\n"
    "  --redemption-from-one  Redemption's AddressLists and AddressEntries count from 1\n"
    "  --no-tables        no Folder.GetTable and no Redemption.MAPITable, as Outlook 2003\n"
    "  --call-cost COSTS  host calls wait: Object.Member=50us,Object=1ms,... or cached or online\n"
    "  --fail NAME        make Object.Member (or a Redemption ProgID's creation) fail\n"
    "  --bar NAME         a built-in toolbar (repeatable; default: Standard, Advanced)\n"
    "  --register DLL     register the DLL for this run (DllRegisterServer/Unregister)\n"
    "  --addin PROGID     load only this add-in (repeatable)\n"
    "  --clear-key KEY    remove HKEY_CURRENT_USER\\KEY at start (repeatable)\n"
    "  --timeout SECONDS  how long an expectation waits (default 5)\n"
    "  --timings FILE     write add-in load and button click times there at exit\n"
    "  --clipboard-text TEXT  copy this text before the add-ins start\n"
    "  --clipboard-image  copy a 16 x 16 picture before the add-ins start\n"
    "  --monitor WxH      a further monitor right of the screen, for the add-ins (repeatable)\n";

void FailureSet::Add(std::wstring_view name) { names_.insert(Lower(name)); }

bool FailureSet::Contains(std::wstring_view name) const { return names_.contains(Lower(name)); }

bool FailureSet::Contains(std::wstring_view object, std::wstring_view member) const {
  return !names_.empty() && Contains(std::wstring(object) + L"." + std::wstring(member));
}

std::wstring HostOptions::OutboxFolder() const {
  if (outbox) return *outbox;
  if (data) return (std::filesystem::path(*data).parent_path() / L"outbox").wstring();
  return L"outbox";
}

HostOptions ParseHostOptions(const std::vector<std::wstring>& args) {
  HostOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    const auto value = [&]() -> const std::wstring& {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        throw OptionsError(tools::WideToUtf8(arg) + " needs a value");
      }
      return args[++i];
    };
    if (arg == L"--data") {
      options.data = value();
    } else if (arg == L"--outbox") {
      options.outbox = value();
    } else if (arg == L"--scenario") {
      options.scenario = value();
    } else if (arg == L"--no-redemption") {
      options.redemption = false;
    } else if (arg == L"--no-explorer") {
      options.explorer = false;
    } else if (arg == L"--no-ribbon") {
      options.ribbon = false;
      options.outlook_version = std::min(options.outlook_version, 12);
    } else if (arg == L"--outlook-2003") {
      options.redemption = false;
      options.ribbon = false;
      options.outlook_version = 11;
    } else if (arg == L"--redemption-from-one") {
      options.redemption_base = 1;
    } else if (arg == L"--no-tables") {
      options.tables = false;
    } else if (arg == L"--call-cost") {
      try {
        options.call_costs.Add(value());
      } catch (const std::invalid_argument& error) {
        throw OptionsError(error.what());
      }
    } else if (arg == L"--fail") {
      options.failures.Add(value());
    } else if (arg == L"--bar") {
      options.bars.push_back(value());
    } else if (arg == L"--register") {
      options.register_dlls.push_back(value());
    } else if (arg == L"--addin") {
      options.addins.push_back(value());
    } else if (arg == L"--clear-key") {
      options.clear_keys.push_back(value());
    } else if (arg == L"--timeout") {
      const std::wstring& text = value();
      if (text.size() > 4 || text.find_first_not_of(L"0123456789") != std::wstring::npos ||
          std::stoi(text) < 1) {
        throw OptionsError("--timeout takes a number of seconds from 1");
      }
      options.timeout_seconds = std::stoi(text);
    } else if (arg == L"--timings") {
      options.timings = value();
    } else if (arg == L"--clipboard-text") {
      options.clipboard_text = value();
    } else if (arg == L"--clipboard-image") {
      options.clipboard_image = true;
    } else if (arg == L"--monitor") {
      const std::wstring& text = value();
      const auto x = text.find(L'x');
      const auto number = [&](std::size_t from, std::size_t to) {
        const std::wstring part = text.substr(from, to - from);
        if (part.empty() || part.size() > 5 ||
            part.find_first_not_of(L"0123456789") != std::wstring::npos || std::stoi(part) < 200) {
          throw OptionsError("--monitor takes WIDTHxHEIGHT, each from 200 pixels");
        }
        return std::stoi(part);
      };
      if (x == std::wstring::npos) throw OptionsError("--monitor takes WIDTHxHEIGHT");
      options.monitors.emplace_back(number(0, x), number(x + 1, text.size()));
    } else if (arg == L"--help" || arg == L"-h") {
      options.help = true;
    } else {
      throw OptionsError("unknown option " + tools::WideToUtf8(arg));
    }
  }
  return options;
}

}  // namespace parvel::standin
