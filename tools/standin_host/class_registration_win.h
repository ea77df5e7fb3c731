#pragma once

// The class registrations the host needs for one run: the ProgIDs of the
// classes it serves itself, and per-user registrations that COM must see.
//
// Windows merges HKCU\Software\Classes over the machine's classes into the
// HKEY_CLASSES_ROOT that COM reads. Wine (8.x) reads only the machine part, so
// there a per-user registration is invisible to CLSIDFromProgID and to
// CoCreateInstance. When COM cannot resolve a ProgID that the user's classes
// define, the host copies the registration into HKEY_CLASSES_ROOT for the run.
// Every key written carries a marker value, so that keys left by a run that
// did not end cleanly are recognised and replaced.

#include <windows.h>

#include <string>
#include <vector>

namespace parvel::standin {

class ClassRegistrations {
 public:
  ClassRegistrations() = default;
  ~ClassRegistrations();
  ClassRegistrations(const ClassRegistrations&) = delete;
  ClassRegistrations& operator=(const ClassRegistrations&) = delete;

  // ProgID\CLSID under HKCU\Software\Classes, made visible to COM.
  bool RegisterProgId(const std::wstring& prog_id, const CLSID& clsid);
  // Makes COM find a class that only the user's classes register.
  void ExposeUserClass(const std::wstring& prog_id);
  // Removes keys for the ProgID that an earlier run of the host wrote.
  static void RemoveLeftovers(const std::wstring& prog_id);

 private:
  std::vector<std::pair<HKEY, std::wstring>> written_;  // removed at the end, last first
};

std::wstring GuidText(const GUID& guid);

}  // namespace parvel::standin
