#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <new>
#include <utility>

#include "com/com_module_win.h"

namespace parvel::com {

// Reference counting and QueryInterface for a COM object implementing Primary
// (and every interface Primary derives from that Answers() accepts). Objects
// are made only through Make, the single place that allocates them; Release
// destroys them. In the add-in each live object holds a module reference, so
// the DLL stays loaded under it; objects of an executable pass false.
template <typename Derived, typename Primary, bool kHoldsModule = true>
class ComObject : public Primary {
 public:
  template <typename... Args>
  static Microsoft::WRL::ComPtr<Derived> Make(Args&&... args) {
    // Born with no reference: the ComPtr takes the first one.
    return Microsoft::WRL::ComPtr<Derived>(new (std::nothrow) Derived(std::forward<Args>(args)...));
  }

  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(Primary) ||
        static_cast<Derived*>(this)->Answers(iid)) {
      *out = static_cast<Primary*>(this);
      this->AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }

  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }

  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete static_cast<Derived*>(this);
    return static_cast<ULONG>(left);
  }

 protected:
  ComObject() noexcept {
    if constexpr (kHoldsModule) ModuleAddRef();
  }
  virtual ~ComObject() {
    if constexpr (kHoldsModule) ModuleRelease();
  }

  // Further interface IDs this object answers with its Primary pointer.
  bool Answers(REFIID) const noexcept { return false; }

 private:
  LONG references_ = 0;
};

}  // namespace parvel::com
