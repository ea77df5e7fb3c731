#pragma once

#include <oaidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <memory>

#include "host/host_model.h"

namespace parvel::host {

// The host ports over the real (or stand-in) Outlook object model, reached by
// late binding, and Redemption objects created by their ProgIDs.
std::unique_ptr<Application> MakeApplication(Microsoft::WRL::ComPtr<IDispatch> application);
// An Outlook item the host handed over (a selected contact, for example).
std::unique_ptr<Item> MakeItem(Microsoft::WRL::ComPtr<IDispatch> item);
std::unique_ptr<AddInInstance> MakeAddInInstance(Microsoft::WRL::ComPtr<IDispatch> instance);
std::unique_ptr<Redemption> MakeRedemption();

}  // namespace parvel::host
