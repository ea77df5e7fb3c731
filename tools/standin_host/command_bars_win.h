#pragma once

// Office command bars of the explorer window: the bars, their controls, and
// buttons with a face pasted from the clipboard and a Click event delivered
// through the _CommandBarButtonEvents connection point.

#include <ocidl.h>
#include <olectl.h>

#include <optional>
#include <string>
#include <vector>

#include "standin_host/dispatch_win.h"
#include "standin_host/face_image.h"

namespace parvel::standin {

class CommandBarObject;

// COM interfaces have no virtual destructor: objects end through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CommandBarButtonObject final : public DispatchImpl<CommandBarButtonObject>,
                                     public IConnectionPointContainer {
 public:
  CommandBarButtonObject(std::shared_ptr<HostContext> context, CommandBarObject* bar,
                         int command_id);
  static const MemberTable<CommandBarButtonObject>& Members();
  std::wstring_view TypeName() const override { return L"CommandBarButton"; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return DispatchObject::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // The button as the host's window shows it.
  int command_id() const { return command_id_; }
  std::wstring caption;
  std::wstring tag;
  std::wstring on_action;
  std::wstring parameter;
  bool enabled = true;
  bool visible = true;
  bool temporary = false;
  int style = 0;
  std::optional<FaceImage> face;
  // What Picture and Mask were given (Office XP and later); the face is the
  // picture made transparent where the mask is white.
  std::optional<FaceImage> picture;
  std::optional<FaceImage> mask;

  // What a click does: Click on every advised sink, in the order of advice.
  void Click();
  void Detach() { bar_ = nullptr; }
  void DropSinks() { sinks_.clear(); }

  DWORD Advise(ComPtr<IDispatch> sink);
  bool Unadvise(DWORD cookie);

 private:
  void CheckUsable() const override;
  IUnknown* QueryOther(REFIID iid) override;
  std::wstring_view Source() const override { return L"Microsoft Office"; }

  Variant GetCaption(Arguments&);
  void PutCaption(Arguments& args);
  Variant GetTag(Arguments&);
  void PutTag(Arguments& args);
  Variant GetOnAction(Arguments&);
  void PutOnAction(Arguments& args);
  Variant GetParameter(Arguments&);
  void PutParameter(Arguments& args);
  Variant GetEnabled(Arguments&);
  void PutEnabled(Arguments& args);
  Variant GetVisible(Arguments&);
  void PutVisible(Arguments& args);
  Variant GetStyle(Arguments&);
  void PutStyle(Arguments& args);
  Variant Type(Arguments&);
  Variant Index(Arguments&);
  Variant Parent(Arguments&);
  void PutPicture(Arguments& args);
  void PutMask(Arguments& args);
  void FaceFromPictures();
  Variant PasteFace(Arguments&);
  Variant Delete(Arguments& args);
  Variant Execute(Arguments&);

  CommandBarObject* bar_;  // null once deleted; the bar outlives its controls' use
  int command_id_;
  DWORD next_cookie_ = 1;
  std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
};
#pragma GCC diagnostic pop

class CommandBarObject final : public DispatchImpl<CommandBarObject> {
 public:
  CommandBarObject(std::shared_ptr<HostContext> context, std::wstring name, bool built_in);
  static const MemberTable<CommandBarObject>& Members();
  std::wstring_view TypeName() const override { return L"CommandBar"; }

  const std::wstring& name() const { return name_; }
  bool visible = false;
  int position = 1;
  bool temporary = false;
  const std::vector<ComPtr<CommandBarButtonObject>>& controls() const { return controls_; }

  // Inserts a button before the 1-based position, or appends it.
  ComPtr<CommandBarButtonObject> AddButton(std::optional<long> before);
  void Remove(const CommandBarButtonObject& button);
  std::size_t IndexOf(const CommandBarButtonObject& button) const;  // from 1

 private:
  std::wstring_view Source() const override { return L"Microsoft Office"; }

  Variant GetName(Arguments&);
  void PutName(Arguments& args);
  Variant GetVisible(Arguments&);
  void PutVisible(Arguments& args);
  Variant Position(Arguments&);
  Variant BuiltIn(Arguments&);
  Variant Controls(Arguments&);

  std::wstring name_;
  bool built_in_;
  std::vector<ComPtr<CommandBarButtonObject>> controls_;
};

class CommandBarsObject final : public DispatchImpl<CommandBarsObject> {
 public:
  // Built-in bars: the names given, each visible with New, Reply and Forward;
  // none given: a visible "Standard" and a hidden "Advanced".
  CommandBarsObject(std::shared_ptr<HostContext> context,
                    const std::vector<std::wstring>& built_in);
  ~CommandBarsObject() override;
  static const MemberTable<CommandBarsObject>& Members();
  std::wstring_view TypeName() const override { return L"CommandBars"; }

  const std::vector<ComPtr<CommandBarObject>>& bars() const { return bars_; }
  ComPtr<CommandBarButtonObject> FindButton(int command_id) const;
  // Outlook closes: its temporary bars and controls go, and every control
  // lets go of the sinks advised on it.
  void HostClosing();

 private:
  std::wstring_view Source() const override { return L"Microsoft Office"; }
  const ComPtr<CommandBarObject>* Find(std::wstring_view name) const;

  Variant Count(Arguments&);
  Variant Item(Arguments& args);
  Variant Add(Arguments& args);
  Variant NewEnum(Arguments&);

  std::vector<ComPtr<CommandBarObject>> bars_;
};

}  // namespace parvel::standin
