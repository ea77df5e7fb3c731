#include "host/ol_connector_win.h"

#include "host/addin_module_win.h"
#include "host/com_object_win.h"
#include "host/connection.h"
#include "host/extensibility_win.h"
#include "host/host_adapters_win.h"
#include "parvel_addin.h"
#include "settings/settings_key.h"

namespace parvel::host {
namespace {

// The host's connection to the add-in. Of its five notifications only
// connection and disconnection act; none ever reports a failure to the host.
class OLConnector final : public ComObject<OLConnector, IDTExtensibility2> {
 public:
  explicit OLConnector(AddinModule& module)
      : module_(module), connection_(module.painter(), [&module] { module.ShowComposeWindow(); }) {}

  bool Answers(REFIID iid) const noexcept {
    return iid == __uuidof(IDispatch) || iid == IID__OLConnector;
  }

  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode,
                                         IDispatch* addin_instance, SAFEARRAY**) override {
    try {
      Session& session = module_.session();
      session.HostApplication = application != nullptr ? MakeApplication(application) : nullptr;
      const bool own_bar = ReadNewBar(module_.registry());
      if (session.HostApplication && addin_instance != nullptr) {
        const auto instance = MakeAddInInstance(addin_instance);
        connection_.AddinInstance_OnConnection(*session.HostApplication, *instance, own_bar);
      }
    } catch (...) {
      // Connection never fails towards the host: at worst there is no button.
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
    try {
      connection_.AddinInstance_OnDisconnection();
      module_.session().HostApplication.reset();
    } catch (...) {
      // Disconnection never fails towards the host either.
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

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
  AddinModule& module_;
  AddinConnection connection_;
};

}  // namespace

HRESULT CreateOLConnector(REFIID iid, void** out) noexcept {
  try {
    const Microsoft::WRL::ComPtr<OLConnector> connector = OLConnector::Make(AddinModule::Get());
    if (!connector) return E_OUTOFMEMORY;
    return connector->QueryInterface(iid, out);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace parvel::host
