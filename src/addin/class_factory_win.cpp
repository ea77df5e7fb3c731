#include "addin/class_factory_win.h"

#include "com/com_object_win.h"

namespace parvel::addin {
namespace {

class ClassFactory final : public com::ComObject<ClassFactory, IClassFactory> {
 public:
  explicit ClassFactory(CreateFunction create) noexcept : create_(create) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return create_(iid, out);
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      com::ModuleAddRef();
    } else {
      com::ModuleRelease();
    }
    return S_OK;
  }

 private:
  CreateFunction create_;
};

}  // namespace

HRESULT GetClassFactory(const ClassEntry* begin, const ClassEntry* end, REFCLSID clsid, REFIID iid,
                        void** out) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  for (const ClassEntry* entry = begin; entry != end; ++entry) {
    if (*entry->clsid != clsid) continue;
    const Microsoft::WRL::ComPtr<ClassFactory> factory = ClassFactory::Make(entry->create);
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(iid, out);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace parvel::addin
