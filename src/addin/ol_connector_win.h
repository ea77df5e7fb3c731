#pragma once

#include <windows.h>

namespace parvel::addin {

// Creates the class the host loads (ProgID ZintaraOutlook.OLConnector).
HRESULT CreateOLConnector(REFIID iid, void** out) noexcept;

}  // namespace parvel::addin
