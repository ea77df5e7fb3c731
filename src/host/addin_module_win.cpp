#include "host/addin_module_win.h"

#include <olectl.h>

#include "host/button_face_win.h"
#include "host/com_module_win.h"
#include "host/dispatch_win.h"
#include "host/host_adapters_win.h"
#include "host/resource_ids.h"
#include "settings/registry_win.h"
#include "windows/window_set_win.h"

namespace parvel::host {
namespace {

constexpr OLE_COLOR kKeyColour = 0xFF00FF;  // magenta: transparent on the button

// The 20 x 20 picture in the DLL's resources, painted with magenta as the key.
class ResourcePicturePainter final : public ButtonFacePainter {
 public:
  bool PaintButtonFace() override {
    HANDLE image = LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(IDB_SEND_SMS), IMAGE_BITMAP, 0, 0,
                              LR_CREATEDIBSECTION);
    if (image == nullptr) ThrowHostError(HRESULT_FROM_WIN32(GetLastError()), L"button picture");
    PICTDESC description{};
    description.cbSizeofstruct = sizeof(description);
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = static_cast<HBITMAP>(image);
    Microsoft::WRL::ComPtr<IPicture> picture;
    // The picture owns the bitmap from here on, and deletes it with itself.
    const HRESULT hr = OleCreatePictureIndirect(&description, IID_IPicture, TRUE,
                                                reinterpret_cast<void**>(picture.GetAddressOf()));
    if (FAILED(hr)) {
      DeleteObject(image);
      ThrowHostError(hr, L"button picture");
    }
    return host::PaintButtonFace(picture.Get(), kKeyColour);
  }
};

}  // namespace

struct AddinModule::Parts {
  WindowsRegistry registry;
  ResourcePicturePainter painter;
  Session session{MakeRedemption()};
  windows::WindowSet windows{session, registry};
};

AddinModule::AddinModule() : parts_(std::make_unique<Parts>()) {}

AddinModule::~AddinModule() = default;

AddinModule& AddinModule::Get() {
  static AddinModule module;
  return module;
}

Session& AddinModule::session() noexcept { return parts_->session; }

RegistryPort& AddinModule::registry() noexcept { return parts_->registry; }

ButtonFacePainter& AddinModule::painter() noexcept { return parts_->painter; }

void AddinModule::ShowComposeWindow() { parts_->windows.ShowComposeWindow(); }

}  // namespace parvel::host
