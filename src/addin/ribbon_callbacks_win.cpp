#include "addin/ribbon_callbacks_win.h"

#include <ocidl.h>
#include <olectl.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "addin/addin_module_win.h"
#include "addin/resource_ids.h"
#include "addin/ribbon.h"
#include "com/com_module_win.h"
#include "com/dispatch_win.h"
#include "com/picture_win.h"
#include "host/diagnostics_win.h"
#include "host/extensibility_win.h"
#include "host/host_adapters_win.h"
#include "platform/handles_win.h"
#include "workflows/selected_items.h"

namespace parvel::addin {
namespace {

using Microsoft::WRL::ComPtr;

// One of the DLL's 32-bit pictures with alpha.
ComPtr<IPictureDisp> LoadRibbonPicture(RibbonPicture which) {
  return com::LoadPicture<IPictureDisp>(
      which == RibbonPicture::Large ? IDB_RIBBON_LARGE : IDB_RIBBON_SMALL, L"ribbon picture");
}

// The control argument, however the host packs it (by value or by reference,
// as an IDispatch or an IUnknown).
com::Dispatch ControlOf(const VARIANT& argument) {
  com::Variant copy;
  const HRESULT hr = VariantCopyInd(copy.get(), const_cast<VARIANT*>(&argument));
  if (FAILED(hr)) com::ThrowComError(hr, L"the ribbon control");
  return com::Dispatch(copy);
}

// The items of a selection as the host enumerates them, one at a time.
class SelectionItems final : public host::ItemEnumerator {
 public:
  explicit SelectionItems(ComPtr<IEnumVARIANT> items) : items_(std::move(items)) {}

  std::unique_ptr<host::Item> Next() override {
    com::Variant item;
    ULONG fetched = 0;
    const HRESULT hr = items_->Next(1, item.get(), &fetched);
    if (FAILED(hr)) com::ThrowComError(hr, L"the selection's items");
    if (hr != S_OK || fetched == 0) return nullptr;
    return host::MakeItem(item.ToDispatch());
  }

 private:
  ComPtr<IEnumVARIANT> items_;
};

// The items a context menu was opened on. Outlook gives an item menu's
// control a Selection as its Context (an explorer's ribbon an Explorer, whose
// Selection it is); anything else is a failure, not a guess. The items are
// enumerated, so a collection counting from 0 or from 1 reads alike.
SelectionItems SelectedItems(const com::Dispatch& control) {
  const com::Dispatch context = control.Object(L"Context");
  const int kind = context.Call(L"Class").ToInt();
  com::Dispatch selection;
  if (kind == kOlSelectionClass) {
    selection = context;
  } else if (kind == kOlExplorerClass) {
    selection = context.Object(L"Selection");
  } else {
    throw host::HostError(
        DISP_E_TYPEMISMATCH,
        L"the context menu's context is no selection (class " + std::to_wstring(kind) + L")");
  }
  DISPPARAMS none{};
  com::Variant enumerator;
  const HRESULT hr = selection.get()->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT,
                                             DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none,
                                             enumerator.get(), nullptr, nullptr);
  if (FAILED(hr)) com::ThrowComError(hr, L"the selection's items");
  const VARIANT& value = *enumerator.get();
  IUnknown* unknown = value.vt == VT_UNKNOWN    ? value.punkVal
                      : value.vt == VT_DISPATCH ? value.pdispVal
                                                : nullptr;
  ComPtr<IEnumVARIANT> items;
  if (unknown == nullptr || FAILED(unknown->QueryInterface(IID_PPV_ARGS(&items)))) {
    throw host::HostError(DISP_E_TYPEMISMATCH, L"the selection cannot be enumerated");
  }
  return SelectionItems(std::move(items));
}

}  // namespace

HRESULT RibbonCustomUi(BSTR ribbon_id, BSTR* ribbon_xml) noexcept {
  if (ribbon_xml == nullptr) return E_POINTER;
  *ribbon_xml = nullptr;
  try {
    const std::wstring xml =
        CustomUiFor(ribbon_id == nullptr ? std::wstring_view()
                                         : std::wstring_view(ribbon_id, SysStringLen(ribbon_id)));
    if (xml.empty()) return S_OK;
    *ribbon_xml = SysAllocStringLen(xml.data(), static_cast<UINT>(xml.size()));
    return *ribbon_xml == nullptr ? E_OUTOFMEMORY : S_OK;
  } catch (...) {
    return host::CaughtResult(L"Ribbon");
  }
}

HRESULT RibbonIdsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept {
  if (names == nullptr || ids == nullptr || count == 0) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const std::optional<RibbonCallback> callback =
      names[0] == nullptr ? std::nullopt : FindRibbonCallback(names[0]);
  if (!callback) return DISP_E_UNKNOWNNAME;
  ids[0] = static_cast<DISPID>(*callback);
  return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

bool IsRibbonCallback(DISPID id) noexcept {
  return id >= static_cast<DISPID>(RibbonCallback::SendSms) &&
         id <= static_cast<DISPID>(RibbonCallback::Last);
}

HRESULT InvokeRibbonCallback(AddinModule& module, DISPID id, DISPPARAMS* params,
                             VARIANT* result) noexcept {
  if (!IsRibbonCallback(id)) return DISP_E_MEMBERNOTFOUND;
  if (params == nullptr || params->cArgs < 1) return DISP_E_BADPARAMCOUNT;
  if (result != nullptr) VariantInit(result);
  try {
    // The control is the first argument, the last in rgvarg.
    const com::Dispatch control = ControlOf(params->rgvarg[params->cArgs - 1]);
    switch (static_cast<RibbonCallback>(id)) {
      case RibbonCallback::SendSms:
        module.ShowComposeWindow();
        return S_OK;
      case RibbonCallback::SendSmsToSelection: {
        module.SendSmsTo(std::make_unique<SelectionItems>(SelectedItems(control)));
        return S_OK;
      }
      case RibbonCallback::GetVisible: {
        if (result == nullptr) return E_POINTER;
        SelectionItems items = SelectedItems(control);
        result->vt = VT_BOOL;
        result->boolVal = SelectionHasRecipients(items) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
      }
      case RibbonCallback::GetImage: {
        if (result == nullptr) return E_POINTER;
        ComPtr<IPictureDisp> picture = LoadRibbonPicture(PictureFor(control.Call(L"Id").ToText()));
        result->vt = VT_DISPATCH;
        result->pdispVal = picture.Detach();
        return S_OK;
      }
    }
    return DISP_E_MEMBERNOTFOUND;
  } catch (...) {
    // Also where the host let go of the add-in while the callback let events run.
    return host::CaughtResult(module.diagnostics(), L"Ribbon");
  }
}

}  // namespace parvel::addin
