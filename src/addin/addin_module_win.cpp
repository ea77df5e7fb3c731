#include "addin/addin_module_win.h"

#include <olectl.h>

#include <utility>

#include "addin/connection.h"
#include "addin/registration_win.h"
#include "addin/resource_ids.h"
#include "com/com_module_win.h"
#include "com/dispatch_win.h"
#include "com/event_advice_win.h"
#include "com/picture_win.h"
#include "dialogs/compose_presenter.h"
#include "dialogs/message_boxes_win.h"
#include "dialogs/window_set_win.h"
#include "host/button_face_win.h"
#include "host/clipboard_keeper_win.h"
#include "host/diagnostics_win.h"
#include "host/extensibility_win.h"
#include "host/host_adapters_win.h"
#include "host/session.h"
#include "platform/handles_win.h"
#include "recipients/pending_events_win.h"
#include "settings/registry_win.h"
#include "settings/settings_key.h"
#include "workflows/selected_items.h"

namespace parvel::addin {
namespace {

constexpr OLE_COLOR kKeyColour = 0xFF00FF;  // magenta: transparent on the button

// The 20 x 20 picture in the DLL's resources, with magenta as the key.
Microsoft::WRL::ComPtr<IPicture> SendSmsPicture() {
  return com::LoadPicture<IPicture>(IDB_SEND_SMS, L"button picture");
}

class ResourcePicturePainter final : public ButtonFacePainter {
 public:
  Face MakeFace() override {
    host::FacePictures pictures = host::MakeFacePictures(SendSmsPicture().Get(), kKeyColour);
    return {.picture = std::make_unique<host::OlePicture>(std::move(pictures.face)),
            .mask = std::make_unique<host::OlePicture>(std::move(pictures.mask))};
  }

  bool PaintButtonFace() override {
    const Microsoft::WRL::ComPtr<IPicture> picture = SendSmsPicture();
    kept_ = host::KeptClipboard::Take();
    changed_ = host::PaintButtonFace(picture.Get(), kKeyColour);
    return changed_;
  }

  void RestoreClipboard() override {
    host::KeptClipboard kept = std::move(kept_);
    if (!std::exchange(changed_, false)) return;
    if (!kept.Restore()) {
      throw host::HostError(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
                            L"the clipboard is held by another program");
    }
  }

 private:
  host::KeptClipboard kept_;
  bool changed_ = false;
};

}  // namespace

// Members end from the last to the first: the Quit watch and the button, then
// the windows, then the session's host objects.
struct AddinModule::Parts {
  com::ModuleReference module_reference;
  WindowsRegistry registry;
  host::SystemDiagnostics diagnostics{registry};
  ResourcePicturePainter painter;
  Session session{host::MakeRedemption(), diagnostics};
  dialogs::WindowSet windows{session, registry, kProgId};
  AddinConnection connection{painter, [this] { ShowComposeWindow(); }, diagnostics};
  com::EventAdvice quit;
  std::weak_ptr<AddinModule> owner;

  // A handler the host started: the module and the host objects stay until
  // it ends, and one the host stopped ends quietly.
  template <typename Work>
  void Handle(std::wstring_view what, Work work) noexcept {
    const std::shared_ptr<AddinModule> keep = owner.lock();
    const Session::Handler host_objects(session);
    try {
      work();
    } catch (...) {
      static_cast<void>(host::CaughtResult(diagnostics, what));
    }
  }

  void ShowComposeWindow() noexcept {
    Handle(L"Send SMS button", [this] { windows.ShowComposeWindow(); });
  }

  void ReleaseHost() noexcept {
    windows.CloseAll();
    session.ReleaseHostObjects();
  }
};

AddinModule::AddinModule(Token) : parts_(std::make_unique<Parts>()) {}

AddinModule::~AddinModule() = default;

std::shared_ptr<AddinModule> AddinModule::Make() {
  auto module = std::make_shared<AddinModule>(Token{});
  module->parts_->owner = module;
  module->parts_->windows.KeepAliveWhileBusy(module);
  return module;
}

void AddinModule::Connect(Microsoft::WRL::ComPtr<IDispatch> application,
                          IDispatch* addin_instance) {
  Session& session = parts_->session;
  if (application) {
    // With fast shutdown (Outlook 2010 and later) Quit is the only word of
    // Outlook's close: no OnBeginShutdown, no OnDisconnection follows.
    try {
      parts_->quit.Advise(application.Get(), kIidApplicationEvents11, kDispidApplicationQuit,
                          [parts = parts_.get()] {
                            parts->Handle(L"Outlook closing", [parts] { parts->ReleaseHost(); });
                          });
    } catch (const host::HostError& error) {
      parts_->diagnostics.Report(L"Connection", L"Outlook's Quit event: " + error.message());
    }
  }
  session.Connect(application ? host::MakeApplication(std::move(application)) : nullptr);
  const bool own_bar = ReadNewBar(parts_->registry);
  if (session.Connected() && addin_instance != nullptr) {
    const auto instance = host::MakeAddInInstance(addin_instance);
    parts_->connection.OnConnection(session.Host(), *instance, own_bar);
  }
}

void AddinModule::ReleaseHost() noexcept { parts_->ReleaseHost(); }

void AddinModule::Disconnect() noexcept {
  parts_->quit.Unadvise();
  parts_->connection.OnDisconnection();
  ReleaseHost();
}

void AddinModule::ShowComposeWindow() noexcept { parts_->ShowComposeWindow(); }

void AddinModule::SendSmsTo(std::unique_ptr<host::ItemEnumerator> items) {
  Session& session = parts_->session;
  const Session::Handler host_objects(session);
  parts_->windows.ShowComposeWindow();
  // The compose window's load asks for the namespace; a load that could not
  // have it leaves the lists unresolvable without this second try.
  static_cast<void>(session.Namespace());
  // Expanding a contact folder's list shows no message and lets no events run.
  dialogs::OwnedMessageBoxes message_boxes;
  ThreadMessagePump pending_events;
  AddressBook address_book(
      {.session = session, .message_boxes = message_boxes, .pending_events = pending_events});
  SelectedItemRows selected = RowsOfSelectedItems(*items, address_book, session);
  // Let go of before a message lets events run: the host may disconnect
  // meanwhile, and what this handler holds goes when it ends.
  items.reset();
  parts_->windows.ComposeWindow().AddSelectedItems(std::move(selected));
}

host::Diagnostics& AddinModule::diagnostics() noexcept { return parts_->diagnostics; }

}  // namespace parvel::addin
