#pragma once

// The Redemption library as the add-in uses it, served from the host's own
// process: class objects registered with COM and ProgIDs written for the
// run, so that an in-process add-in creates them by ProgID as on a machine
// where Redemption is installed.

#include <memory>
#include <string>
#include <vector>

#include "standin_host/class_registration_win.h"
#include "standin_host/dispatch_win.h"

namespace parvel::standin {

inline constexpr const wchar_t* kRedemptionProgIds[] = {
    L"Redemption.SafeMailItem", L"Redemption.MAPIUtils", L"Redemption.AddressLists",
    L"Redemption.SafeDistList", L"Redemption.MAPITable"};

// Creates the object a Redemption ProgID names (any letter case); nullptr
// for another name.
ComPtr<IDispatch> CreateRedemptionObject(const std::shared_ptr<HostContext>& context,
                                         std::wstring_view prog_id);

class RedemptionServer {
 public:
  // Registers the classes; with `offer` false it only removes what an
  // earlier run may have left, so that creation fails as without Redemption.
  // MAPITable is offered only with the context's tables.
  RedemptionServer(const std::shared_ptr<HostContext>& context, bool offer);
  ~RedemptionServer();
  RedemptionServer(const RedemptionServer&) = delete;
  RedemptionServer& operator=(const RedemptionServer&) = delete;

  // The ProgIDs that COM still cannot resolve after registration.
  const std::vector<std::wstring>& problems() const { return problems_; }

 private:
  std::vector<DWORD> cookies_;
  ClassRegistrations registrations_;
  std::vector<std::wstring> problems_;
};

}  // namespace parvel::standin
