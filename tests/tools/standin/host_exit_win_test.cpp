// The stand-in host as Outlook closes: Quit to the application's sinks, the
// temporary controls gone, and calls an add-in makes when it should have let
// go noted.

#include <windows.h>

#include <ocidl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "com/com_object_win.h"
#include "host/extensibility_win.h"
#include "late_binding_win.h"
#include "standin_host/command_bars_win.h"
#include "standin_host/host_context.h"
#include "standin_host/outlook_objects_win.h"

namespace parvel::standin {
namespace {

using namespace testing;

// A sink of ApplicationEvents_11 that counts the events by DISPID.
class AppEvents final : public com::ComObject<AppEvents, IDispatch, false> {
 public:
  bool Answers(REFIID iid) const noexcept { return iid == kIidApplicationEvents11; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    events.push_back(id);
    arguments = params == nullptr ? 0 : params->cArgs;
    return S_OK;
  }
  std::vector<DISPID> events;
  UINT arguments = 99;
};

class HostExit : public ::testing::Test {
 protected:
  void SetUp() override {
    OleInitialize(nullptr);
    context_ = std::make_shared<HostContext>(FailureSet{}, std::make_shared<AddressBook>(),
                                             std::filesystem::temp_directory_path());
    bars_ = MakeCom<CommandBarsObject>(context_, std::vector<std::wstring>{});
    app_ = MakeCom<ApplicationObject>(context_, bars_);
  }
  void TearDown() override {
    app_.Reset();
    bars_.Reset();
    context_.reset();
    OleUninitialize();
  }

  std::shared_ptr<HostContext> context_;
  ComPtr<CommandBarsObject> bars_;
  ComPtr<ApplicationObject> app_;
};

TEST_F(HostExit, QuitReachesTheApplicationsSinksUntilTheyGo) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(app_->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(kIidApplicationEvents11, point.GetAddressOf()), S_OK);
  const ComPtr<AppEvents> kept = AppEvents::Make();
  const ComPtr<AppEvents> gone = AppEvents::Make();
  DWORD kept_cookie = 0;
  DWORD gone_cookie = 0;
  ASSERT_EQ(point->Advise(kept.Get(), &kept_cookie), S_OK);
  ASSERT_EQ(point->Advise(gone.Get(), &gone_cookie), S_OK);
  EXPECT_EQ(point->Unadvise(gone_cookie), S_OK);

  app_->RaiseQuit();
  EXPECT_EQ(kept->events, std::vector<DISPID>{kDispidApplicationQuit});
  EXPECT_EQ(kept->arguments, 0U);
  EXPECT_TRUE(gone->events.empty());

  app_->DropEventSinks();
  app_->RaiseQuit();
  EXPECT_EQ(kept->events.size(), 1U) << "the process has ended for the sinks";
  EXPECT_EQ(point->Unadvise(kept_cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(HostExit, ClosingDiscardsTemporaryControlsAndEverySink) {
  const ComPtr<CommandBarObject> standard = bars_->bars()[0];
  const ComPtr<CommandBarButtonObject> lasting = standard->AddButton(std::nullopt);
  const ComPtr<CommandBarButtonObject> temporary = standard->AddButton(std::nullopt);
  temporary->temporary = true;
  Get(bars_.Get(), L"Add",
      Args(Variant::Text(L"SMSBar"), Variant::Int(1), Missing(), Variant::Bool(true)));
  lasting->Advise(ComPtr<IDispatch>(AppEvents::Make()));

  bars_->HostClosing();
  EXPECT_EQ(standard->controls().size(), 4U) << "New, Reply, Forward and the lasting one";
  EXPECT_EQ(Try(temporary.Get(), L"Caption", DISPATCH_PROPERTYGET).result, DISP_E_EXCEPTION);
  EXPECT_FALSE(lasting->Unadvise(1)) << "its sinks are gone";
  EXPECT_EQ(bars_->bars().size(), 2U) << "the temporary SMSBar is gone";
  EXPECT_EQ(Try(bars_.Get(), L"Add", DISPATCH_METHOD,
                Args(Variant::Text(L"SMSBar"), Variant::Int(1), Missing(), Variant::Bool(true)))
                .result,
            S_OK)
      << "the next start may make it again";
}

TEST_F(HostExit, CallsOnceTheyAreOverAreNotedByWhy) {
  Get(app_.Get(), L"Name");
  EXPECT_TRUE(context_->late_calls.empty());
  context_->calls_closed = L"after the host began to exit";
  Get(app_.Get(), L"Name");
  Try(app_.Get(), L"NoSuchMember", DISPATCH_METHOD);
  context_->ReportLateCalls();
  EXPECT_EQ(context_->lifetime_problems,
            std::vector<std::wstring>{L"host objects called after the host began to exit: "
                                      L"Application.Name"});
}

TEST_F(HostExit, AnArmedUnloadIsPostedOnceTheNthCallReturns) {
  int unloads = 0;
  context_->post_unload = [&] { ++unloads; };
  context_->armed_unload = HostContext::ArmedUnload{.call = L"application.name", .remaining = 2};
  Get(app_.Get(), L"Name");
  EXPECT_EQ(unloads, 0);
  Try(app_.Get(), L"GetNamespace", DISPATCH_METHOD, Args(Variant::Text(L"Other")));
  Get(app_.Get(), L"Name");
  EXPECT_EQ(unloads, 1);
  Get(app_.Get(), L"Name");
  EXPECT_EQ(unloads, 1) << "armed once";
}

}  // namespace
}  // namespace parvel::standin
