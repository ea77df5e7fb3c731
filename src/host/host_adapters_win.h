#pragma once

#include <oaidl.h>
#include <ocidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <utility>

#include "host/host_model.h"

namespace parvel::host {

// A picture for a button's Picture or Mask: an OLE picture object.
class OlePicture final : public ButtonPicture {
 public:
  explicit OlePicture(Microsoft::WRL::ComPtr<IPictureDisp> picture)
      : picture_(std::move(picture)) {}
  IPictureDisp* get() const noexcept { return picture_.Get(); }

 private:
  Microsoft::WRL::ComPtr<IPictureDisp> picture_;
};

// The host ports over the real (or stand-in) Outlook object model, reached by
// late binding, and Redemption objects created by their ProgIDs.
std::unique_ptr<Application> MakeApplication(Microsoft::WRL::ComPtr<IDispatch> application);
// An Outlook item the host handed over (a selected contact, for example).
std::unique_ptr<Item> MakeItem(Microsoft::WRL::ComPtr<IDispatch> item);
// The Outlook object behind an item these adapters made; throws HostError for
// any other item.
Microsoft::WRL::ComPtr<IDispatch> ItemObject(Item& item);
std::unique_ptr<AddInInstance> MakeAddInInstance(Microsoft::WRL::ComPtr<IDispatch> instance);
std::unique_ptr<Redemption> MakeRedemption();

}  // namespace parvel::host
