#pragma once

#include <functional>
#include <memory>

#include "host/diagnostics.h"
#include "host/host_model.h"

namespace parvel::addin {

inline constexpr wchar_t kButtonCaption[] = L"Send SMS";
inline constexpr wchar_t kOwnBarName[] = L"SMSBar";
inline constexpr wchar_t kStandardBarName[] = L"Standard";

// The button's picture: given through the button's Picture and Mask, or, for
// a host that takes no picture that way (Outlook 2000), pasted from the
// clipboard, which is given back as it was.
class ButtonFacePainter {
 public:
  struct Face {
    std::unique_ptr<host::ButtonPicture> picture;
    std::unique_ptr<host::ButtonPicture> mask;  // white where the face is transparent
  };

  virtual ~ButtonFacePainter() = default;
  // The face and its mask as pictures for the button.
  virtual Face MakeFace() = 0;
  // Keeps what the clipboard holds and puts the face and its mask there for
  // PasteFace. False when the clipboard could not be had: the face is not
  // there to paste, and a paste would put whatever the clipboard holds on
  // the button.
  virtual bool PaintButtonFace() = 0;
  // Gives the clipboard back the content PaintButtonFace kept, as far as it
  // could be kept; nothing when it did not change the clipboard.
  virtual void RestoreClipboard() = 0;
};

// The "Send SMS" button's life on the host's toolbar. Every host call runs
// under one rule: a failure is passed over and the next step runs, so a
// connection never fails; at worst there is no button.
class AddinConnection {
 public:
  // Each failure passed over is reported to diagnostics.
  AddinConnection(ButtonFacePainter& painter, std::function<void()> on_click,
                  host::Diagnostics& diagnostics = host::NoDiagnostics());

  // Adds the button to a toolbar of its own ("SMSBar") or to "Standard".
  void OnConnection(host::Application& application, host::AddInInstance& instance, bool own_bar);
  // Deletes the button; the caller then lets go of the host application.
  void OnDisconnection();
  void OnButtonClicked();

  bool HasButton() const noexcept { return button_ != nullptr; }

 private:
  void SetUpButton(host::AddInInstance& instance);
  // Picture and Mask; false when the host does not take them.
  bool GiveFace(host::CommandBarButton& button);
  // The clipboard's way, for a host without Picture and Mask.
  void PasteFace(host::CommandBarButton& button);
  // Runs one host call; a failure yields the empty result, is reported as
  // what the call was for, and is passed over.
  template <typename Call>
  auto Try(std::wstring_view what, Call&& call) noexcept;

  ButtonFacePainter& painter_;
  host::Diagnostics& diagnostics_;
  std::function<void()> on_click_;
  std::unique_ptr<host::CommandBarButton> button_;
};

}  // namespace parvel::addin
