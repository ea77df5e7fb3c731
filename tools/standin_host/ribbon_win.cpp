#include "standin_host/ribbon_win.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <utility>

#include "host/diagnostics.h"
#include "host/extensibility_win.h"
#include "standin_host/host_context.h"
#include "standin_host/picture_win.h"
#include "standin_host/stopwatch_win.h"

namespace parvel::standin {
namespace {

// The control a callback is about, as Office hands it: Id, Tag and Context.
class RibbonControlObject final : public DispatchImpl<RibbonControlObject> {
 public:
  RibbonControlObject(std::shared_ptr<HostContext> context, std::wstring id, std::wstring tag,
                      ComPtr<IDispatch> control_context)
      : DispatchImpl(std::move(context)),
        id_(std::move(id)),
        tag_(std::move(tag)),
        context_(std::move(control_context)) {}
  static const MemberTable<RibbonControlObject>& Members() {
    static const MemberTable<RibbonControlObject> table = {
        {.name = L"Id", .get = &RibbonControlObject::Id},
        {.name = L"Tag", .get = &RibbonControlObject::Tag},
        {.name = L"Context", .get = &RibbonControlObject::Context},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"IRibbonControl"; }

 protected:
  std::wstring_view Source() const override { return L"Microsoft Office"; }
  IUnknown* QueryOther(REFIID iid) override {
    if (iid != kIidRibbonControl) return nullptr;
    AddRef();
    return static_cast<IDispatch*>(this);
  }

 private:
  Variant Id(Arguments&) { return Variant::Text(id_); }
  Variant Tag(Arguments&) { return Variant::Text(tag_); }
  Variant Context(Arguments&) { return Variant::Object(context_.Get()); }

  std::wstring id_;
  std::wstring tag_;
  ComPtr<IDispatch> context_;
};

// The references others hold on an object of ours besides `held` own ones.
template <typename T>
ULONG ReferencesBeyond(const ComPtr<T>& object, ULONG held) {
  object->AddRef();
  return object->Release() - held;
}

bool IsTrue(const VARIANT& value) {
  VARIANT converted;
  VariantInit(&converted);
  const bool ok =
      SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_BOOL));
  const bool result = ok && converted.boolVal != VARIANT_FALSE;
  VariantClear(&converted);
  return result;
}

std::wstring TextOf(const VARIANT& value) {
  VARIANT converted;
  VariantInit(&converted);
  std::wstring text;
  if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_BSTR)) &&
      converted.bstrVal) {
    text.assign(converted.bstrVal, SysStringLen(converted.bstrVal));
  }
  VariantClear(&converted);
  return text;
}

ComPtr<IDispatch> ActiveExplorer(IDispatch* application) {
  if (application == nullptr) return nullptr;
  LPOLESTR name = const_cast<LPOLESTR>(L"ActiveExplorer");
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(application->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) {
    return nullptr;
  }
  DISPPARAMS none{};
  VARIANT result;
  VariantInit(&result);
  ComPtr<IDispatch> explorer;
  if (SUCCEEDED(application->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                                    &result, nullptr, nullptr)) &&
      result.vt == VT_DISPATCH) {
    explorer = result.pdispVal;
  }
  VariantClear(&result);
  return explorer;
}

}  // namespace

const MemberTable<SelectionObject>& SelectionObject::Members() {
  static const MemberTable<SelectionObject> table = {
      {.name = L"Class", .get = &SelectionObject::Class},
      {.name = L"Count", .get = &SelectionObject::Count},
      {.name = L"Item", .get = &SelectionObject::Item, .params = {L"Index"}, .is_default = true},
      {.name = L"_NewEnum", .get = &SelectionObject::NewEnum},
  };
  return table;
}

Variant SelectionObject::Class(Arguments&) { return Variant::Int(kOlSelectionClass); }

Variant SelectionObject::Count(Arguments&) {
  return Variant::Int(static_cast<long>(items_.size()));
}

Variant SelectionObject::Item(Arguments& args) {
  const long index = args.Int(0);
  if (index < 1 || static_cast<std::size_t>(index) > items_.size()) {
    Raise(E_INVALIDARG, L"Array index out of bounds.");
  }
  return Variant::Object(items_[static_cast<std::size_t>(index - 1)].Get());
}

Variant SelectionObject::NewEnum(Arguments&) {
  std::vector<ComPtr<IDispatch>> items = items_;
  return EnumerationResult([items](std::size_t index) -> std::optional<Variant> {
    if (index >= items.size()) return std::nullopt;
    return Variant::Object(items[index].Get());
  });
}

std::unique_ptr<AddinRibbon> AddinRibbon::Load(const std::shared_ptr<HostContext>& context,
                                               IUnknown& addin, const std::wstring& prog_id,
                                               IDispatch* application) {
  ComPtr<IRibbonExtensibility> extensibility;
  if (FAILED(addin.QueryInterface(IID_PPV_ARGS(&extensibility)))) return nullptr;
  const Stopwatch timer;
  BSTR ribbon_id = SysAllocString(kExplorerRibbon);
  BSTR xml = nullptr;
  const HRESULT hr = extensibility->GetCustomUI(ribbon_id, &xml);
  SysFreeString(ribbon_id);
  context->timings.Add(L"customui", prog_id, timer.Milliseconds());
  const std::wstring text = xml == nullptr ? std::wstring() : std::wstring(xml, SysStringLen(xml));
  SysFreeString(xml);
  if (FAILED(hr)) Raise(hr, L"GetCustomUI failed with " + host::HresultText(hr));
  if (text.empty()) return nullptr;
  const CustomUi ui = ParseCustomUi(text);
  if (!ui.on_load.empty()) {
    Raise(E_NOTIMPL, L"onLoad " + ui.on_load + L": this host hands out no IRibbonUI");
  }
  ComPtr<IDispatch> callbacks;
  if (FAILED(addin.QueryInterface(IID_PPV_ARGS(&callbacks)))) {
    Raise(E_NOINTERFACE, L"the add-in offers no IDispatch for its callbacks");
  }
  for (const std::wstring& name : ui.callbacks) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(callbacks->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
      Raise(DISP_E_UNKNOWNNAME, L"the add-in's IDispatch does not know the callback " + name);
    }
    if (id <= kDispidOnBeginShutdown) {
      Raise(DISP_E_MEMBERNOTFOUND,
            L"the callback " + name + L" has the DISPID " + std::to_wstring(id) +
                L", which names a method of the connector's own interfaces (1 to 5) or a "
                L"reserved member (0 and below)");
    }
  }
  std::unique_ptr<AddinRibbon> ribbon(new AddinRibbon(context, callbacks));
  const ComPtr<IDispatch> explorer = ActiveExplorer(application);
  for (const UiTab& tab : ui.tabs) {
    for (const UiGroup& group : tab.groups) {
      ShownRibbonGroup& shown = ribbon->groups_.emplace_back();
      shown.tab = tab.id_mso.empty() ? tab.id : tab.id_mso;
      shown.label = group.label;
      for (const UiButton& button : group.buttons) {
        if (!button.visible) continue;
        if (!button.get_visible.empty() &&
            !IsTrue(ribbon->Call(button.get_visible, button, explorer.Get()).get())) {
          continue;
        }
        shown.buttons.push_back(ribbon->Show(button, explorer.Get()));
      }
    }
  }
  for (const UiContextMenu& menu : ui.context_menus) {
    ShownContextMenu& shown = ribbon->menus_.emplace_back();
    shown.id_mso = menu.id_mso;
    for (const UiButton& button : menu.buttons) {
      if (button.visible) shown.buttons.push_back(ribbon->Show(button, explorer.Get()));
    }
  }
  ribbon->explorer_ = explorer;
  return ribbon;
}

ShownRibbonButton AddinRibbon::Show(const UiButton& button, IDispatch* context) {
  ShownRibbonButton shown{.ui = button, .label = button.label, .enabled = button.enabled};
  if (!button.get_label.empty())
    shown.label = TextOf(Call(button.get_label, button, context).get());
  if (!button.get_enabled.empty())
    shown.enabled = IsTrue(Call(button.get_enabled, button, context).get());
  if (!button.get_image.empty()) {
    shown.picture = ReadPicture(Call(button.get_image, button, context).get(),
                                L"what " + button.get_image + L" answered");
  }
  return shown;
}

bool AddinRibbon::Visible(const ShownRibbonButton& button, IDispatch* selection) {
  if (button.ui.get_visible.empty()) return true;
  return IsTrue(Call(button.ui.get_visible, button.ui, selection).get());
}

void AddinRibbon::Click(const ShownRibbonButton& button, IDispatch* context) {
  if (button.ui.on_action.empty()) return;
  Call(button.ui.on_action, button.ui, context != nullptr ? context : explorer_.Get());
}

Variant AddinRibbon::Call(const std::wstring& callback, const UiButton& button,
                          IDispatch* context) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(callback.c_str())};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = callbacks_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) Raise(hr, L"the add-in's IDispatch does not know the callback " + callback);
  const ComPtr<RibbonControlObject> control = MakeCom<RibbonControlObject>(
      context_, button.id.empty() ? button.id_mso : button.id, button.tag, context);
  VARIANT argument;
  argument.vt = VT_DISPATCH;
  argument.pdispVal = control.Get();
  DISPPARAMS params{&argument, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  UINT bad_argument = 0;
  hr = callbacks_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                          &exception, &bad_argument);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  Variant answer = Variant::Copy(result);
  VariantClear(&result);
  if (FAILED(hr)) Raise(hr, L"the callback " + callback + L" failed with " + host::HresultText(hr));
  // The control is Office's: an add-in that keeps it holds Office's objects.
  if (ReferencesBeyond(control, 1) != 0) {
    context_->lifetime_problems.push_back(L"the callback " + callback +
                                          L" kept the IRibbonControl it was given");
  }
  return answer;
}

}  // namespace parvel::standin
