#pragma once

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>

#include "host/outlook_model.h"

namespace parvel::host {

// Outlook's own object model by late binding, through the application the
// host handed over at connection (the trusted one: nothing else is asked).
std::unique_ptr<OutlookObjectModel> MakeOutlookObjectModel(
    Microsoft::WRL::ComPtr<IDispatch> application);

}  // namespace parvel::host
