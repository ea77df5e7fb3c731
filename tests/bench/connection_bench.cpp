// The add-in's own work when the host connects it: finding the toolbar,
// adding and setting up the button, and building the button face's mask.
// The host's objects answer at once and record nothing, so the figure leaves
// out every cross-process call a real host makes.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/connection.h"
#include "host/button_face.h"
#include "host/outlook_model.h"

namespace {

using namespace parvel::host;
using namespace parvel::addin;

class QuietButton final : public CommandBarButton {
 public:
  void SetCaption(const std::wstring& caption) override { caption_ = caption; }
  void SetTag(const std::wstring&) override {}
  void SetOnAction(const std::wstring& action) override { action_ = action; }
  void SetEnabled(bool) override {}
  void SetVisible(bool) override {}
  void SetStyle(int) override {}
  void SetPicture(ButtonPicture&) override {}
  void SetMask(ButtonPicture&) override {}
  void PasteFace() override {}
  void Delete() override {}
  void OnClick(std::function<void()> handler) override { click_ = std::move(handler); }

 private:
  std::wstring caption_;
  std::wstring action_;
  std::function<void()> click_;
};

class QuietBar final : public CommandBar {
 public:
  explicit QuietBar(std::wstring name) : name_(std::move(name)) {}
  std::wstring Name() override { return name_; }
  void SetVisible(bool) override {}
  std::unique_ptr<CommandBarButton> AddControl(int, std::optional<int>, bool) override {
    return std::make_unique<QuietButton>();
  }

 private:
  std::wstring name_;
};

// The explorer's bars; "Standard" is the last of them.
class QuietBars final : public CommandBars {
 public:
  explicit QuietBars(int count) : count_(count) {}
  std::unique_ptr<CommandBar> Add(const std::wstring& name, int, bool) override {
    return std::make_unique<QuietBar>(name);
  }
  int Count() override { return count_; }
  std::unique_ptr<CommandBar> Item(int index) override {
    return std::make_unique<QuietBar>(index == count_ ? std::wstring(kStandardBarName)
                                                      : L"Bar " + std::to_wstring(index));
  }

 private:
  int count_;
};

class QuietApplication final : public Application {
 public:
  explicit QuietApplication(int bars) : bars_(bars) {}
  std::unique_ptr<Namespace> GetNamespace(const std::wstring&) override { return nullptr; }
  std::unique_ptr<MailItem> CreateItem(int) override { return nullptr; }
  std::unique_ptr<CommandBars> ActiveExplorerCommandBars() override {
    return std::make_unique<QuietBars>(bars_);
  }
  std::uintptr_t ActiveExplorerWindow() override { return 0; }
  std::unique_ptr<OutlookObjectModel> ObjectModel() override { return nullptr; }

 private:
  int bars_;
};

class QuietInstance final : public AddInInstance {
 public:
  std::wstring ProgId() override { return L"ZintaraOutlook.OLConnector"; }
};

// The 20 x 20 button picture, a magenta frame around the drawing.
class MaskPainter final : public ButtonFacePainter {
 public:
  MaskPainter() : pixels_(kSide * kSide, 0x00336699) {
    for (int i = 0; i < kSide; ++i) {
      pixels_[static_cast<std::size_t>(i)] = kButtonFaceKeyColour;
      pixels_[static_cast<std::size_t>(i * kSide)] = kButtonFaceKeyColour;
    }
  }
  Face MakeFace() override {
    benchmark::DoNotOptimize(BuildMaskBlock(pixels_, kSide, kSide, kButtonFaceKeyColour));
    return {std::make_unique<ButtonPicture>(), std::make_unique<ButtonPicture>()};
  }
  bool PaintButtonFace() override { return true; }
  void RestoreClipboard() override {}

 private:
  static constexpr int kSide = 20;
  std::vector<std::uint32_t> pixels_;
};

// Connecting and disconnecting once; the argument is 1 for the add-in's own
// toolbar, otherwise the number of bars searched for "Standard".
void BM_OnConnection(benchmark::State& state) {
  const bool own_bar = state.range(0) == 1;
  QuietApplication application(static_cast<int>(state.range(0)));
  QuietInstance instance;
  MaskPainter painter;
  AddinConnection connection(painter, [] {});
  for (auto _ : state) {
    connection.OnConnection(application, instance, own_bar);
    if (!connection.HasButton()) state.SkipWithError("no button");
    connection.OnDisconnection();
  }
}
BENCHMARK(BM_OnConnection)->Arg(1)->Arg(30)->Unit(benchmark::kMicrosecond);

}  // namespace
