#include "addin/ol_connector_win.h"

#include <memory>

#include "addin/addin_module_win.h"
#include "host/com_object_win.h"
#include "host/diagnostics_win.h"
#include "host/extensibility_win.h"
#include "parvel_addin.h"
#include "settings/registry_win.h"

namespace parvel::host {
namespace {

// The host's connection to the add-in. It owns the add-in's composition root
// from connection to disconnection; of its five notifications only these two
// and the start of a shutdown act, and none ever reports a failure.
class OLConnector final : public ComObject<OLConnector, IDTExtensibility2> {
 public:
  OLConnector() = default;
  // A host that lets go without disconnecting first still gets its button
  // deleted and every object of its released, here and not at DLL unload.
  ~OLConnector() override { Disconnect(); }

  bool Answers(REFIID iid) const noexcept {
    return iid == __uuidof(IDispatch) || iid == IID__OLConnector;
  }

  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode,
                                         IDispatch* addin_instance, SAFEARRAY**) override {
    Disconnect();
    try {
      module_ = AddinModule::Make();
      module_->Connect(application, addin_instance);
    } catch (...) {
      // Connection never fails towards the host: at worst there is no button.
      WindowsRegistry registry;
      SystemDiagnostics(registry).Report(L"Connection", DescribeFailure(std::current_exception()));
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
    Disconnect();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  // The host is closing: the windows close and the host's objects go now,
  // before the host takes its own apart; the button goes at disconnection.
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override {
    if (module_) module_->ReleaseHost();
    return S_OK;
  }

  // The class offers no type information: the host binds to the vtable of
  // its connection interface.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
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
    const Microsoft::WRL::ComPtr<OLConnector> connector = OLConnector::Make();
    if (!connector) return E_OUTOFMEMORY;
    return connector->QueryInterface(iid, out);
  } catch (...) {
    WindowsRegistry registry;
    SystemDiagnostics diagnostics(registry);
    return FailureResult(diagnostics, L"Creating the connector", std::current_exception());
  }
}

}  // namespace parvel::host
