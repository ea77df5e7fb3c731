#include "standin_host/custom_ui.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "common/utf8.h"

namespace parvel::standin {
namespace {

[[noreturn]] void Fail(int line, const std::wstring& message) {
  throw CustomUiError(line, tools::WideToUtf8(message));
}

// --- Well-formed XML, as far as customUI needs it ------------------------------

struct Element {
  std::wstring name;
  std::vector<std::pair<std::wstring, std::wstring>> attributes;
  std::vector<Element> children;
  int line = 1;
};

bool IsNameStart(wchar_t ch) {
  return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z') || ch == L'_' || ch == L':' ||
         ch > 0x7F;
}

bool IsNameChar(wchar_t ch) {
  return IsNameStart(ch) || (ch >= L'0' && ch <= L'9') || ch == L'-' || ch == L'.';
}

bool IsSpace(wchar_t ch) { return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n'; }

class XmlReader {
 public:
  explicit XmlReader(std::wstring_view text) : text_(text) {}

  Element Document() {
    if (text_.starts_with(L'\uFEFF')) pos_ = 1;
    if (text_.substr(pos_).starts_with(L"<?xml")) {
      const auto end = text_.find(L"?>", pos_);
      if (end == std::wstring_view::npos) Fail(line_, L"the XML declaration does not end");
      Advance(end + 2 - pos_);
    }
    SkipMisc();
    if (AtEnd() || text_[pos_] != L'<') Fail(line_, L"expected the root element");
    Element root = ReadElement();
    SkipMisc();
    if (!AtEnd()) Fail(line_, L"content after the root element");
    return root;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  bool LooksAt(std::wstring_view what) const { return text_.substr(pos_).starts_with(what); }

  void Advance(std::size_t count) {
    for (std::size_t i = 0; i < count && !AtEnd(); ++i, ++pos_) {
      if (text_[pos_] == L'\n') ++line_;
    }
  }

  void SkipSpace() {
    while (!AtEnd() && IsSpace(text_[pos_])) Advance(1);
  }

  // Blanks and comments: all that may stand between elements.
  void SkipMisc() {
    for (;;) {
      SkipSpace();
      if (!LooksAt(L"<!--")) return;
      const auto end = text_.find(L"--", pos_ + 4);
      if (end == std::wstring_view::npos) Fail(line_, L"a comment does not end");
      if (text_.substr(end).starts_with(L"-->") == false) Fail(line_, L"\"--\" inside a comment");
      Advance(end + 3 - pos_);
    }
  }

  std::wstring ReadName() {
    if (AtEnd() || !IsNameStart(text_[pos_])) Fail(line_, L"expected a name");
    const std::size_t start = pos_;
    while (!AtEnd() && IsNameChar(text_[pos_])) Advance(1);
    return std::wstring(text_.substr(start, pos_ - start));
  }

  std::wstring ReadValue() {
    if (AtEnd() || (text_[pos_] != L'"' && text_[pos_] != L'\'')) {
      Fail(line_, L"an attribute value must be quoted");
    }
    const wchar_t quote = text_[pos_];
    Advance(1);
    std::wstring value;
    for (;;) {
      if (AtEnd()) Fail(line_, L"an attribute value does not end");
      const wchar_t ch = text_[pos_];
      if (ch == quote) break;
      if (ch == L'<') Fail(line_, L"\"<\" in an attribute value");
      if (ch == L'&') {
        value += ReadReference();
        continue;
      }
      value += ch;
      Advance(1);
    }
    Advance(1);
    return value;
  }

  std::wstring ReadReference() {
    const auto end = text_.find(L';', pos_);
    if (end == std::wstring_view::npos || end - pos_ > 10) Fail(line_, L"a bad \"&\" reference");
    const std::wstring_view name = text_.substr(pos_ + 1, end - pos_ - 1);
    static const std::map<std::wstring_view, wchar_t> kNamed = {
        {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
    std::wstring result;
    if (const auto named = kNamed.find(name); named != kNamed.end()) {
      result = named->second;
    } else if (name.size() > 1 && name[0] == L'#') {
      const bool hex = name[1] == L'x';
      const std::wstring_view digits = name.substr(hex ? 2 : 1);
      unsigned long code = 0;
      for (const wchar_t ch : digits) {
        int digit = -1;
        if (ch >= L'0' && ch <= L'9') digit = ch - L'0';
        if (hex && ch >= L'a' && ch <= L'f') digit = ch - L'a' + 10;
        if (hex && ch >= L'A' && ch <= L'F') digit = ch - L'A' + 10;
        if (digit < 0 || code > 0x10FFFF) Fail(line_, L"a bad character reference");
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
      }
      if (digits.empty() || code == 0 || code > 0xFFFF) Fail(line_, L"a bad character reference");
      result = static_cast<wchar_t>(code);
    } else {
      Fail(line_, L"an unknown entity &" + std::wstring(name) + L";");
    }
    Advance(end + 1 - pos_);
    return result;
  }

  Element ReadElement() {
    Element element;
    element.line = line_;
    Advance(1);  // '<'
    element.name = ReadName();
    for (;;) {
      const bool spaced = !AtEnd() && IsSpace(text_[pos_]);
      SkipSpace();
      if (AtEnd()) Fail(line_, L"<" + element.name + L"> does not end");
      if (LooksAt(L"/>")) {
        Advance(2);
        return element;
      }
      if (text_[pos_] == L'>') {
        Advance(1);
        break;
      }
      if (!spaced) Fail(line_, L"attributes must be separated by blanks");
      std::wstring name = ReadName();
      SkipSpace();
      if (AtEnd() || text_[pos_] != L'=') Fail(line_, L"expected \"=\" after " + name);
      Advance(1);
      SkipSpace();
      std::wstring value = ReadValue();
      for (const auto& [existing, unused] : element.attributes) {
        if (existing == name) Fail(line_, L"the attribute " + name + L" appears twice");
      }
      element.attributes.emplace_back(std::move(name), std::move(value));
    }
    for (;;) {
      SkipMisc();
      if (AtEnd()) Fail(line_, L"<" + element.name + L"> is not closed");
      if (LooksAt(L"</")) {
        Advance(2);
        const std::wstring name = ReadName();
        SkipSpace();
        if (name != element.name || AtEnd() || text_[pos_] != L'>') {
          Fail(line_, L"</" + name + L"> does not close <" + element.name + L">");
        }
        Advance(1);
        return element;
      }
      if (LooksAt(L"<![CDATA[") || LooksAt(L"<!") || LooksAt(L"<?")) {
        Fail(line_, L"only elements and comments may stand in <" + element.name + L">");
      }
      if (text_[pos_] != L'<') Fail(line_, L"text is not allowed in <" + element.name + L">");
      element.children.push_back(ReadElement());
    }
  }

  std::wstring_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

// --- The customUI schema, the part this host plays -----------------------------

// The attributes an element may carry, each with the kind of value it takes.
enum class Value { Id, IdMso, Text, Bool, Size, Callback, Namespace };

using Rules = std::map<std::wstring, Value, std::less<>>;

const Rules& CommonControlRules() {
  static const Rules rules = {
      {L"id", Value::Id},
      {L"idMso", Value::IdMso},
      {L"tag", Value::Text},
      {L"label", Value::Text},
      {L"getLabel", Value::Callback},
      {L"visible", Value::Bool},
      {L"getVisible", Value::Callback},
      {L"insertAfterMso", Value::IdMso},
      {L"insertBeforeMso", Value::IdMso},
      {L"keytip", Value::Text},
      {L"getKeytip", Value::Callback},
  };
  return rules;
}

Rules ButtonRules(bool in_menu) {
  Rules rules = CommonControlRules();
  rules.insert({{L"enabled", Value::Bool},
                {L"getEnabled", Value::Callback},
                {L"imageMso", Value::IdMso},
                {L"getImage", Value::Callback},
                {L"onAction", Value::Callback},
                {L"screentip", Value::Text},
                {L"getScreentip", Value::Callback},
                {L"supertip", Value::Text},
                {L"getSupertip", Value::Callback},
                {L"showImage", Value::Bool},
                {L"getShowImage", Value::Callback}});
  if (in_menu) {
    rules.insert({{L"description", Value::Text}, {L"getDescription", Value::Callback}});
  } else {
    rules.insert({{L"size", Value::Size},
                  {L"getSize", Value::Callback},
                  {L"showLabel", Value::Bool},
                  {L"getShowLabel", Value::Callback}});
  }
  return rules;
}

Rules GroupRules() {
  Rules rules = CommonControlRules();
  rules.insert({{L"imageMso", Value::IdMso},
                {L"getImage", Value::Callback},
                {L"screentip", Value::Text},
                {L"supertip", Value::Text}});
  return rules;
}

// A static attribute and its callback cannot both be given.
constexpr std::pair<std::wstring_view, std::wstring_view> kExclusive[] = {
    {L"label", L"getLabel"},
    {L"visible", L"getVisible"},
    {L"enabled", L"getEnabled"},
    {L"imageMso", L"getImage"},
    {L"screentip", L"getScreentip"},
    {L"supertip", L"getSupertip"},
    {L"size", L"getSize"},
    {L"keytip", L"getKeytip"},
    {L"description", L"getDescription"},
    {L"showLabel", L"getShowLabel"},
    {L"showImage", L"getShowImage"},
    {L"insertAfterMso", L"insertBeforeMso"},
    {L"id", L"idMso"}};

bool IsIdText(const std::wstring& text) {
  return !text.empty() && text.size() <= 1024 && IsNameStart(text[0]) && text[0] != L':' &&
         std::all_of(text.begin(), text.end(),
                     [](wchar_t ch) { return IsNameChar(ch) && ch != L':'; });
}

class SchemaReader {
 public:
  CustomUi Read(const Element& root) {
    if (root.name != L"customUI") Fail(root.line, L"the root element must be <customUI>");
    const auto attributes =
        Check(root, {{L"xmlns", Value::Namespace}, {L"onLoad", Value::Callback}});
    const auto xmlns = attributes.find(L"xmlns");
    if (xmlns == attributes.end()) Fail(root.line, L"<customUI> has no xmlns");
    const bool office_2010 = xmlns->second == kCustomUi2009;
    if (!office_2010 && xmlns->second != kCustomUi2006) {
      Fail(root.line, L"unknown namespace " + xmlns->second);
    }
    CustomUi ui;
    ui.on_load = Get(attributes, L"onLoad");
    int stage = 0;  // children in schema order: ribbon, then contextMenus
    for (const Element& child : root.children) {
      if (child.name == L"ribbon" && stage < 1) {
        stage = 1;
        Ribbon(child, ui);
      } else if (child.name == L"contextMenus" && office_2010 && stage < 2) {
        stage = 2;
        ContextMenus(child, ui);
      } else {
        Unexpected(child, L"customUI");
      }
    }
    ui.callbacks = std::move(callbacks_);
    return ui;
  }

 private:
  using Attributes = std::map<std::wstring, std::wstring, std::less<>>;

  static std::wstring Get(const Attributes& attributes, std::wstring_view name) {
    const auto found = attributes.find(name);
    return found == attributes.end() ? std::wstring() : found->second;
  }

  [[noreturn]] static void Unexpected(const Element& child, std::wstring_view parent) {
    Fail(child.line,
         L"<" + child.name + L"> is not allowed here in <" + std::wstring(parent) + L">");
  }

  // Every attribute known and well-formed; ids unique; callbacks collected.
  Attributes Check(const Element& element, const Rules& rules) {
    Attributes attributes;
    for (const auto& [name, value] : element.attributes) {
      const auto rule = rules.find(name);
      if (rule == rules.end()) {
        Fail(element.line, L"unknown attribute " + name + L" on <" + element.name + L">");
      }
      // Named again: clang 14, which clang-tidy uses, cannot capture structured bindings.
      const std::wstring& attribute = name;
      const std::wstring& text = value;
      const auto bad = [&](std::wstring_view why) {
        std::wstring message = L"the value \"";
        message.append(text).append(L"\" of ").append(attribute).append(L" on <");
        message.append(element.name).append(L"> ").append(why);
        Fail(element.line, message);
      };
      switch (rule->second) {
        case Value::Id:
          if (!IsIdText(value)) bad(L"is not an id");
          if (!ids_.insert(value).second) bad(L"is an id used before");
          break;
        case Value::IdMso:
        case Value::Callback:
          if (!IsIdText(value)) bad(L"is not a name");
          if (rule->second == Value::Callback &&
              std::find(callbacks_.begin(), callbacks_.end(), value) == callbacks_.end()) {
            callbacks_.push_back(value);
          }
          break;
        case Value::Bool:
          if (value != L"true" && value != L"false" && value != L"1" && value != L"0")
            bad(L"is not true or false");
          break;
        case Value::Size:
          if (value != L"normal" && value != L"large") bad(L"is not normal or large");
          break;
        case Value::Text:
          if (value.size() > 1024) bad(L"is longer than 1024 characters");
          break;
        case Value::Namespace:
          break;
      }
      attributes.emplace(name, value);
    }
    for (const auto& [first, second] : kExclusive) {
      if (attributes.contains(first) && attributes.contains(second)) {
        Fail(element.line, L"<" + element.name + L"> has both " + std::wstring(first) + L" and " +
                               std::wstring(second));
      }
    }
    return attributes;
  }

  // An element that needs exactly one of id and idMso.
  static void NeedsId(const Element& element, const Attributes& attributes) {
    if (!attributes.contains(L"id") && !attributes.contains(L"idMso")) {
      Fail(element.line, L"<" + element.name + L"> needs an id or an idMso");
    }
  }

  static bool IsTrue(const Attributes& attributes, std::wstring_view name) {
    const std::wstring value = Get(attributes, name);
    return value == L"true" || value == L"1";
  }

  void Ribbon(const Element& ribbon, CustomUi& ui) {
    Check(ribbon, {{L"startFromScratch", Value::Bool}});
    bool tabs_seen = false;
    for (const Element& child : ribbon.children) {
      if (child.name != L"tabs" || tabs_seen) Unexpected(child, L"ribbon");
      tabs_seen = true;
      Check(child, {});
      for (const Element& tab : child.children) {
        if (tab.name != L"tab") Unexpected(tab, L"tabs");
        ui.tabs.push_back(Tab(tab));
      }
    }
  }

  UiTab Tab(const Element& element) {
    const Attributes attributes = Check(element, CommonControlRules());
    NeedsId(element, attributes);
    UiTab tab{.id = Get(attributes, L"id"),
              .id_mso = Get(attributes, L"idMso"),
              .label = Get(attributes, L"label")};
    for (const Element& child : element.children) {
      if (child.name != L"group") Unexpected(child, L"tab");
      tab.groups.push_back(Group(child));
    }
    return tab;
  }

  UiGroup Group(const Element& element) {
    const Attributes attributes = Check(element, GroupRules());
    NeedsId(element, attributes);
    UiGroup group{.id = Get(attributes, L"id"),
                  .id_mso = Get(attributes, L"idMso"),
                  .label = Get(attributes, L"label")};
    for (const Element& child : element.children) {
      if (child.name != L"button") Unexpected(child, L"group");
      group.buttons.push_back(Button(child, false));
    }
    return group;
  }

  UiButton Button(const Element& element, bool in_menu) {
    const Attributes attributes = Check(element, ButtonRules(in_menu));
    NeedsId(element, attributes);
    for (const Element& child : element.children) Unexpected(child, L"button");
    return {.id = Get(attributes, L"id"),
            .id_mso = Get(attributes, L"idMso"),
            .tag = Get(attributes, L"tag"),
            .label = Get(attributes, L"label"),
            .get_label = Get(attributes, L"getLabel"),
            .large = Get(attributes, L"size") == L"large",
            .enabled = !attributes.contains(L"enabled") || IsTrue(attributes, L"enabled"),
            .get_enabled = Get(attributes, L"getEnabled"),
            .visible = !attributes.contains(L"visible") || IsTrue(attributes, L"visible"),
            .get_visible = Get(attributes, L"getVisible"),
            .image_mso = Get(attributes, L"imageMso"),
            .get_image = Get(attributes, L"getImage"),
            .on_action = Get(attributes, L"onAction"),
            .screentip = Get(attributes, L"screentip"),
            .supertip = Get(attributes, L"supertip")};
  }

  void ContextMenus(const Element& menus, CustomUi& ui) {
    Check(menus, {});
    for (const Element& element : menus.children) {
      if (element.name != L"contextMenu") Unexpected(element, L"contextMenus");
      const Attributes attributes = Check(element, {{L"idMso", Value::IdMso}});
      if (!attributes.contains(L"idMso")) Fail(element.line, L"<contextMenu> needs an idMso");
      UiContextMenu menu{.id_mso = Get(attributes, L"idMso")};
      for (const Element& child : element.children) {
        if (child.name != L"button") Unexpected(child, L"contextMenu");
        menu.buttons.push_back(Button(child, true));
      }
      ui.context_menus.push_back(std::move(menu));
    }
  }

  std::set<std::wstring> ids_;
  std::vector<std::wstring> callbacks_;
};

}  // namespace

CustomUiError::CustomUiError(int line, const std::string& message)
    : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}

CustomUi ParseCustomUi(std::wstring_view xml) {
  XmlReader reader(xml);
  const Element root = reader.Document();
  return SchemaReader().Read(root);
}

}  // namespace parvel::standin
