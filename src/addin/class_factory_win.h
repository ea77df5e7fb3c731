#pragma once

#include <unknwn.h>
#include <windows.h>

namespace parvel::addin {

// Makes a new object of one class and hands out the asked interface.
using CreateFunction = HRESULT (*)(REFIID iid, void** out);

struct ClassEntry {
  const CLSID* clsid;
  CreateFunction create;
};

// The factory for clsid from the table, or CLASS_E_CLASSNOTAVAILABLE.
HRESULT GetClassFactory(const ClassEntry* begin, const ClassEntry* end, REFCLSID clsid, REFIID iid,
                        void** out) noexcept;

}  // namespace parvel::addin
