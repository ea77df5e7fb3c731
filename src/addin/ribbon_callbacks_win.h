#pragma once

// The connector's side of the ribbon: the customUI it hands the host and the
// callbacks the host calls late-bound through the connector's IDispatch. The
// control the host passes (and its Context and Selection) are the host's
// objects: each call lets go of them before it returns.

#include <oaidl.h>
#include <windows.h>

namespace parvel::addin {

class AddinModule;

// GetCustomUI: the XML for that ribbon, or an empty text. A failure is
// reported and returned as an HRESULT.
HRESULT RibbonCustomUi(BSTR ribbon_id, BSTR* ribbon_xml) noexcept;

// GetIDsOfNames for the callbacks the XML names; parameter names are unknown.
HRESULT RibbonIdsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept;

// Whether `id` is one that RibbonIdsOfNames hands out.
bool IsRibbonCallback(DISPID id) noexcept;

// Invoke of callback `id` with the control as its first argument, for a
// connected add-in: a failure goes to the module's diagnostics and comes back
// as an HRESULT, never as an exception.
HRESULT InvokeRibbonCallback(AddinModule& module, DISPID id, DISPPARAMS* params,
                             VARIANT* result) noexcept;

}  // namespace parvel::addin
