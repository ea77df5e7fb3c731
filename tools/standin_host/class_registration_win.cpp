#include "standin_host/class_registration_win.h"

#include <objbase.h>

#include <array>

#include "standin_host/registry_win.h"

namespace parvel::standin {
namespace {

constexpr wchar_t kUserClasses[] = L"Software\\Classes\\";
constexpr wchar_t kMarker[] = L"ParvelStandinRun";

bool Marked(HKEY root, const std::wstring& path) {
  const UniqueKey key = OpenKey(root, path);
  return key && ReadText(key.get(), kMarker).has_value();
}

void DeleteIfMarked(HKEY root, const std::wstring& path) {
  if (Marked(root, path)) RegDeleteTreeW(root, path.c_str());
}

bool ComResolves(const std::wstring& prog_id) {
  CLSID clsid{};
  return SUCCEEDED(CLSIDFromProgID(prog_id.c_str(), &clsid));
}

}  // namespace

std::wstring GuidText(const GUID& guid) {
  std::array<wchar_t, 40> text{};
  StringFromGUID2(guid, text.data(), static_cast<int>(text.size()));
  return text.data();
}

ClassRegistrations::~ClassRegistrations() {
  for (auto it = written_.rbegin(); it != written_.rend(); ++it) {
    RegDeleteTreeW(it->first, it->second.c_str());
  }
}

void ClassRegistrations::RemoveLeftovers(const std::wstring& prog_id) {
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
    const std::wstring path = (root == HKEY_CURRENT_USER ? kUserClasses : L"") + prog_id;
    if (!Marked(root, path)) continue;
    if (const UniqueKey clsid = OpenKey(root, path + L"\\CLSID")) {
      if (const auto text = ReadText(clsid.get(), nullptr)) {
        DeleteIfMarked(root, (root == HKEY_CURRENT_USER ? kUserClasses : L"") +
                                 std::wstring(L"CLSID\\") + *text);
      }
    }
    RegDeleteTreeW(root, path.c_str());
  }
}

bool ClassRegistrations::RegisterProgId(const std::wstring& prog_id, const CLSID& clsid) {
  RemoveLeftovers(prog_id);
  const std::wstring path = kUserClasses + prog_id;
  bool created = false;
  const UniqueKey key = CreateKey(HKEY_CURRENT_USER, path, &created);
  if (!key) return false;
  if (created) written_.emplace_back(HKEY_CURRENT_USER, path);
  const UniqueKey clsid_key = CreateKey(key.get(), L"CLSID");
  if (!clsid_key || !SetText(clsid_key.get(), nullptr, GuidText(clsid)) ||
      !SetText(key.get(), kMarker, L"1")) {
    return false;
  }
  ExposeUserClass(prog_id);
  return ComResolves(prog_id);
}

void ClassRegistrations::ExposeUserClass(const std::wstring& prog_id) {
  if (Marked(HKEY_CLASSES_ROOT, prog_id)) RemoveLeftovers(prog_id);
  if (ComResolves(prog_id)) return;
  const UniqueKey user_clsid = OpenKey(HKEY_CURRENT_USER, kUserClasses + prog_id + L"\\CLSID");
  const auto clsid = user_clsid ? ReadText(user_clsid.get(), nullptr) : std::nullopt;
  if (!clsid) return;
  const auto copy = [&](const std::wstring& path) {
    const UniqueKey source = OpenKey(HKEY_CURRENT_USER, kUserClasses + path);
    bool created = false;
    const UniqueKey target = source ? CreateKey(HKEY_CLASSES_ROOT, path, &created) : nullptr;
    if (!target || !created) return;
    written_.emplace_back(HKEY_CLASSES_ROOT, path);
    RegCopyTreeW(source.get(), nullptr, target.get());
    SetText(target.get(), kMarker, L"1");
  };
  copy(prog_id);
  copy(L"CLSID\\" + *clsid);
}

}  // namespace parvel::standin
