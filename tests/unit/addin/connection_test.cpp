#include "addin/connection.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/outlook_model.h"
#include "support/recording_diagnostics.h"

namespace parvel::addin {
namespace {

using namespace parvel::host;

// The host's toolbars as plain data, with a log of every call the add-in
// makes and a set of calls that fail.
struct Toolbars {
  struct Control {
    std::wstring caption;
    std::map<std::wstring, std::wstring> properties;
    std::function<void()> click;
    bool deleted = false;
  };
  struct Bar {
    std::wstring name;
    bool visible = false;
    std::vector<std::shared_ptr<Control>> controls;
  };

  std::vector<std::shared_ptr<Bar>> bars;
  std::vector<std::wstring> log;
  std::set<std::wstring> failing;

  void Call(const std::wstring& call) {
    log.push_back(call);
    if (failing.count(call.substr(0, call.find(L'('))) != 0) {
      throw HostError(-2147467259, L"refused: " + call);
    }
  }
  std::shared_ptr<Bar> AddBar(std::wstring name, std::vector<std::wstring> captions = {}) {
    auto bar = std::make_shared<Bar>();
    bar->name = std::move(name);
    for (auto& caption : captions) {
      bar->controls.push_back(std::make_shared<Control>(Control{std::move(caption)}));
    }
    bars.push_back(bar);
    return bar;
  }
};

class FakeButton final : public CommandBarButton {
 public:
  FakeButton(Toolbars& host, std::shared_ptr<Toolbars::Control> control)
      : host_(host), control_(std::move(control)) {}
  void SetCaption(const std::wstring& v) override { Set(L"Caption", v); }
  void SetTag(const std::wstring& v) override { Set(L"Tag", v); }
  void SetOnAction(const std::wstring& v) override { Set(L"OnAction", v); }
  void SetEnabled(bool v) override { Set(L"Enabled", v ? L"True" : L"False"); }
  void SetVisible(bool v) override { Set(L"Visible", v ? L"True" : L"False"); }
  void SetStyle(int v) override { Set(L"Style", std::to_wstring(v)); }
  void SetPicture(ButtonPicture&) override { host_.Call(L"Button.Picture"); }
  void SetMask(ButtonPicture&) override { host_.Call(L"Button.Mask"); }
  void PasteFace() override { host_.Call(L"Button.PasteFace"); }
  void Delete() override {
    host_.Call(L"Button.Delete");
    control_->deleted = true;
  }
  void OnClick(std::function<void()> handler) override {
    host_.Call(L"Button.OnClick");
    control_->click = std::move(handler);
  }

 private:
  void Set(const std::wstring& name, const std::wstring& value) {
    host_.Call(L"Button." + name + L"(" + value + L")");
    control_->properties[name] = value;
    if (name == L"Caption") control_->caption = value;
  }
  Toolbars& host_;
  std::shared_ptr<Toolbars::Control> control_;
};

class FakeBar final : public CommandBar {
 public:
  FakeBar(Toolbars& host, std::shared_ptr<Toolbars::Bar> bar) : host_(host), bar_(std::move(bar)) {}
  std::wstring Name() override {
    host_.Call(L"Bar.Name(" + bar_->name + L")");
    return bar_->name;
  }
  void SetVisible(bool visible) override {
    host_.Call(L"Bar.Visible");
    bar_->visible = visible;
  }
  std::unique_ptr<CommandBarButton> AddControl(int type, std::optional<int> before,
                                               bool temporary) override {
    host_.Call(L"Controls.Add(" + std::to_wstring(type) + L"," +
               (before ? std::to_wstring(*before) : L"-") + L"," + (temporary ? L"T" : L"F") +
               L")");
    auto control = std::make_shared<Toolbars::Control>();
    const auto at =
        before ? std::min<std::size_t>(static_cast<std::size_t>(*before - 1), bar_->controls.size())
               : bar_->controls.size();
    bar_->controls.insert(bar_->controls.begin() + static_cast<std::ptrdiff_t>(at), control);
    return std::make_unique<FakeButton>(host_, control);
  }

 private:
  Toolbars& host_;
  std::shared_ptr<Toolbars::Bar> bar_;
};

class FakeBars final : public CommandBars {
 public:
  explicit FakeBars(Toolbars& host) : host_(host) {}
  std::unique_ptr<CommandBar> Add(const std::wstring& name, int position, bool temporary) override {
    host_.Call(L"Bars.Add(" + name + L"," + std::to_wstring(position) + L"," +
               (temporary ? L"T" : L"F") + L")");
    return std::make_unique<FakeBar>(host_, host_.AddBar(name));
  }
  int Count() override {
    host_.Call(L"Bars.Count");
    return static_cast<int>(host_.bars.size());
  }
  std::unique_ptr<CommandBar> Item(int index) override {
    host_.Call(L"Bars.Item(" + std::to_wstring(index) + L")");
    return std::make_unique<FakeBar>(host_, host_.bars.at(static_cast<std::size_t>(index - 1)));
  }

 private:
  Toolbars& host_;
};

class FakeApplication final : public Application {
 public:
  explicit FakeApplication(Toolbars& host) : host_(host) {}
  std::unique_ptr<Namespace> GetNamespace(const std::wstring&) override { return nullptr; }
  std::unique_ptr<MailItem> CreateItem(int) override { return nullptr; }
  std::unique_ptr<CommandBars> ActiveExplorerCommandBars() override {
    host_.Call(L"ActiveExplorer.CommandBars");
    return std::make_unique<FakeBars>(host_);
  }
  std::uintptr_t ActiveExplorerWindow() override { return 0; }
  std::unique_ptr<OutlookObjectModel> ObjectModel() override { return nullptr; }

 private:
  Toolbars& host_;
};

class FakeInstance final : public AddInInstance {
 public:
  std::wstring ProgId() override { return prog_id; }
  std::wstring prog_id = L"ZintaraOutlook.OLConnector";
};

class CountingPainter final : public ButtonFacePainter {
 public:
  explicit CountingPainter(Toolbars& host) : host_(host) {}
  Face MakeFace() override {
    host_.Call(L"MakeFace");
    return {std::make_unique<ButtonPicture>(), std::make_unique<ButtonPicture>()};
  }
  bool PaintButtonFace() override {
    host_.Call(L"PaintButtonFace");
    return clipboard_free;
  }
  void RestoreClipboard() override { host_.Call(L"RestoreClipboard"); }
  bool clipboard_free = true;

 private:
  Toolbars& host_;
};

class ConnectionTest : public testing::Test {
 protected:
  Toolbars host;
  FakeApplication application{host};
  FakeInstance instance;
  CountingPainter painter{host};
  int clicks = 0;
  fakes::RecordingDiagnostics diagnostics;
  AddinConnection connection{painter, [this] { ++clicks; }, diagnostics};

  std::vector<std::wstring> Captions(const Toolbars::Bar& bar) const {
    std::vector<std::wstring> captions;
    for (const auto& control : bar.controls) {
      if (!control->deleted) captions.push_back(control->caption);
    }
    return captions;
  }

  // Connects a connection of its own, reporting nowhere, to another host;
  // says whether it holds a button.
  bool ConnectTo(Toolbars& other, bool own_bar) {
    FakeApplication other_application{other};
    CountingPainter other_painter{other};
    AddinConnection quiet{other_painter, nullptr};
    quiet.OnConnection(other_application, instance, own_bar);
    return quiet.HasButton();
  }
};

TEST_F(ConnectionTest,
       ButtonBecomesTheSecondControlOfTheFirstStandardBarActingForTheReportedProgId) {
  host.AddBar(L"Menu Bar", {L"File"});
  const auto standard = host.AddBar(L"Standard", {L"New", L"Reply"});
  const auto second_standard = host.AddBar(L"Standard", {L"A"});
  instance.prog_id = L"Other.Addin";
  connection.OnConnection(application, instance, false);

  EXPECT_EQ(Captions(*standard), (std::vector<std::wstring>{L"New", L"Send SMS", L"Reply"}));
  EXPECT_EQ(Captions(*second_standard), std::vector<std::wstring>{L"A"}) << "the first one only";
  EXPECT_EQ(host.bars.size(), 3U) << "no toolbar of its own";
  const std::vector<std::wstring> expected = {L"ActiveExplorer.CommandBars",
                                              L"Bars.Count",
                                              L"Bars.Item(1)",
                                              L"Bar.Name(Menu Bar)",
                                              L"Bars.Item(2)",
                                              L"Bar.Name(Standard)",
                                              L"Controls.Add(1,2,T)",
                                              L"Button.OnClick",
                                              L"Button.Caption(Send SMS)",
                                              L"Button.Tag(Send SMS)",
                                              L"Button.OnAction(!<Other.Addin>)",
                                              L"Button.Enabled(True)",
                                              L"Button.Visible(True)",
                                              L"Button.Style(3)",
                                              L"MakeFace",
                                              L"Button.Picture",
                                              L"Button.Mask"};
  EXPECT_EQ(host.log, expected) << "the face goes through Picture and Mask, not the clipboard";

  standard->controls[1]->click();
  standard->controls[1]->click();
  EXPECT_EQ(clicks, 2);
}

TEST_F(ConnectionTest, OwnBarHoldsTheButtonAlone) {
  host.AddBar(L"Standard", {L"New"});
  connection.OnConnection(application, instance, true);
  ASSERT_EQ(host.bars.size(), 2U);
  const auto& bar = *host.bars[1];
  EXPECT_EQ(bar.name, L"SMSBar");
  EXPECT_TRUE(bar.visible);
  EXPECT_EQ(Captions(bar), std::vector<std::wstring>{L"Send SMS"});
  EXPECT_EQ(Captions(*host.bars[0]), std::vector<std::wstring>{L"New"});
  EXPECT_EQ(host.log[1], L"Bars.Add(SMSBar,1,T)");
  EXPECT_EQ(host.log[3], L"Controls.Add(1,-,T)");
}

TEST_F(ConnectionTest, AHostWithoutPictureAndMaskGetsTheFacePastedAndTheClipboardBack) {
  for (const wchar_t* refused : {L"Button.Picture", L"Button.Mask", L"MakeFace"}) {
    Toolbars old;
    old.AddBar(L"Standard", {L"New"});
    old.failing = {refused};
    ConnectTo(old, false);
    const std::vector<std::wstring> tail(old.log.end() - 3, old.log.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"PaintButtonFace", L"Button.PasteFace",
                                               L"RestoreClipboard"}))
        << "refused: " << std::string(refused, refused + std::wcslen(refused));
  }
}

TEST_F(ConnectionTest, EachFailingHostCallIsPassedOver) {
  host.AddBar(L"Standard", {L"New"});
  host.failing = {L"Button.Caption", L"Button.Picture", L"PaintButtonFace", L"Button.OnClick",
                  L"RestoreClipboard"};
  connection.OnConnection(application, instance, false);
  ASSERT_TRUE(connection.HasButton());
  const auto& properties = host.bars[0]->controls[1]->properties;
  EXPECT_EQ(properties.count(L"Caption"), 0U);
  EXPECT_EQ(properties.at(L"Tag"), L"Send SMS");
  EXPECT_EQ(properties.at(L"Style"), L"3");
  EXPECT_EQ(host.log[host.log.size() - 2], L"Button.PasteFace")
      << "the paste still runs after a failed paint";
  const std::vector<std::wstring> reports = {
      L"Connection: the button's Click event: 0x80004005 refused: Button.OnClick",
      L"Connection: the button's Caption: 0x80004005 refused: Button.Caption(Send SMS)",
      L"Connection: the button's Picture and Mask: 0x80004005 refused: Button.Picture",
      L"Connection: the button's picture: 0x80004005 refused: PaintButtonFace",
      L"Connection: giving the clipboard back: 0x80004005 refused: RestoreClipboard"};
  EXPECT_EQ(diagnostics.reports, reports);

  // A bar whose name cannot be read is skipped, never given the button; a
  // refused toolbar or explorer means no button, and no error.
  struct Case {
    const wchar_t* failing;
    bool own_bar;
  };
  for (const Case& c : {Case{L"Bar.Name", false}, Case{L"Bars.Add", true},
                        Case{L"ActiveExplorer.CommandBars", false}}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.failing)));
    Toolbars other;
    other.AddBar(L"Standard");
    other.failing = {c.failing};
    EXPECT_FALSE(ConnectTo(other, c.own_bar));
  }
}

TEST_F(ConnectionTest, ABusyClipboardLeavesTheButtonWithoutAPicture) {
  host.AddBar(L"Standard", {L"New"});
  host.failing = {L"Button.Picture"};
  painter.clipboard_free = false;
  connection.OnConnection(application, instance, false);
  ASSERT_TRUE(connection.HasButton());
  const std::vector<std::wstring> tail(host.log.end() - 2, host.log.end());
  EXPECT_EQ(tail, (std::vector<std::wstring>{L"PaintButtonFace", L"RestoreClipboard"}))
      << "nothing of another program is pasted";
  EXPECT_EQ(host.bars[0]->controls[1]->properties.at(L"Caption"), L"Send SMS");
  EXPECT_EQ(diagnostics.reports.back(),
            L"Connection: the button's picture: the clipboard is held by another program");
}

TEST_F(ConnectionTest, EachConnectionMakesAFreshButtonAndAFailedDeleteStillLetsGoOfIt) {
  const auto standard = host.AddBar(L"Standard", {L"New"});
  connection.OnConnection(application, instance, false);
  connection.OnConnection(application, instance, false);
  EXPECT_EQ(Captions(*standard), (std::vector<std::wstring>{L"New", L"Send SMS", L"Send SMS"}));

  host.failing = {L"Button.Delete"};
  connection.OnDisconnection();
  EXPECT_FALSE(connection.HasButton()) << "a failed delete still lets go of the button";
}

}  // namespace
}  // namespace parvel::addin
