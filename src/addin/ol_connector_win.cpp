#include "addin/ol_connector_win.h"

#include <memory>

#include "addin/addin_module_win.h"
#include "addin/ribbon_callbacks_win.h"
#include "com/com_object_win.h"
#include "host/diagnostics_win.h"
#include "host/extensibility_win.h"
#include "parvel_addin.h"

namespace parvel::addin {
namespace {

// The host's connection to the add-in. It owns the add-in's composition root
// from connection to disconnection, or to its last release when the host
// closes without disconnecting; of its five notifications only these two
// and the start of a shutdown act, and none ever reports a failure. To a host
// with a ribbon it offers its customUI, and its IDispatch answers the
// callbacks that names; those do nothing while the add-in is not connected.
class OLConnectorObject final : public com::ComObject<OLConnectorObject, IDTExtensibility2>,
                                public IRibbonExtensibility {
 public:
  OLConnectorObject() = default;
  // Outlook 2010 and later close without OnDisconnection (fast shutdown):
  // they release the connector while MAPI is being taken down. The add-in
  // then only drops its references, here and not at DLL unload, and calls
  // nothing of the host: its windows close, the compose window keeping its
  // unsent work, and the host discards the temporary button itself.
  ~OLConnectorObject() override {
    if (module_) module_->ReleaseHost();
  }

  bool Answers(REFIID iid) const noexcept {
    return iid == __uuidof(IDispatch) || iid == IID__OLConnector;
  }

  // IRibbonExtensibility is a second vtable of the same object.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out != nullptr && iid == __uuidof(IRibbonExtensibility)) {
      *out = static_cast<IRibbonExtensibility*>(this);
      AddRef();
      return S_OK;
    }
    return ComObject::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }

  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbon_id, BSTR* ribbon_xml) override {
    return RibbonCustomUi(ribbon_id, ribbon_xml);
  }

  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode,
                                         IDispatch* addin_instance, SAFEARRAY**) override {
    Disconnect();
    try {
      module_ = AddinModule::Make();
      module_->Connect(application, addin_instance);
    } catch (...) {
      // Connection never fails towards the host: at worst there is no button.
      static_cast<void>(host::CaughtResult(L"Connection"));
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
    Disconnect();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  // The host is closing and will disconnect the add-in (shutdown
  // notifications asked for by the add-in key's RequireShutdownNotification,
  // or an Outlook before 2010): the windows close and the host's objects go
  // now, before the host takes its own apart; the button goes at
  // disconnection.
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override {
    if (module_) module_->ReleaseHost();
    return S_OK;
  }

  // The class offers no type information: the host binds to the vtable of
  // its connection interface, and finds the ribbon's callbacks by name.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return RibbonIdsOfNames(names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (!IsRibbonCallback(id)) return DISP_E_MEMBERNOTFOUND;
    if (!module_) {
      if (result != nullptr) VariantInit(result);
      return S_OK;
    }
    // The module lasts to the end of the call, even through a disconnection
    // that happens inside it.
    const std::shared_ptr<AddinModule> module = module_;
    return InvokeRibbonCallback(*module, id, params, result);
  }

 private:
  void Disconnect() noexcept {
    if (!module_) return;
    module_->Disconnect();
    module_.reset();
  }

  std::shared_ptr<AddinModule> module_;
};

}  // namespace

HRESULT CreateOLConnector(REFIID iid, void** out) noexcept {
  try {
    const Microsoft::WRL::ComPtr<OLConnectorObject> connector = OLConnectorObject::Make();
    if (!connector) return E_OUTOFMEMORY;
    return connector->QueryInterface(iid, out);
  } catch (...) {
    return host::CaughtResult(L"Creating the connector");
  }
}

}  // namespace parvel::addin
