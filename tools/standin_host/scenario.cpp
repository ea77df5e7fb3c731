#include "standin_host/scenario.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <functional>
#include <map>
#include <utility>

#include "common/utf8.h"
#include "standin_host/time_text.h"

namespace parvel::standin {
namespace {

// An escaped '|' inside a word, told apart from a column separator.
constexpr wchar_t kLiteralBar = L'\uE000';

struct Word {
  std::wstring text;
  bool quoted = false;
};

std::vector<Word> Tokenize(std::wstring_view line) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    if (i == line.size()) return words;
    Word word;
    if (line[i] != L'"') {
      while (i < line.size() && line[i] != L' ' && line[i] != L'\t') {
        if (line[i] == L'"') throw std::invalid_argument("a quote inside a word");
        word.text += line[i++];
      }
      words.push_back(std::move(word));
      continue;
    }
    word.quoted = true;
    ++i;
    while (true) {
      if (i == line.size()) throw std::invalid_argument("a text has no closing quote");
      const wchar_t ch = line[i++];
      if (ch == L'"') break;
      if (ch != L'\\') {
        word.text += ch;
        continue;
      }
      if (i == line.size()) throw std::invalid_argument("a text ends with a lone backslash");
      switch (const wchar_t escaped = line[i++]) {
        case L'\\':
        case L'"':
          word.text += escaped;
          break;
        case L'n':
          word.text += L'\n';
          break;
        case L'r':
          word.text += L'\r';
          break;
        case L't':
          word.text += L'\t';
          break;
        case L'|':
          word.text += kLiteralBar;
          break;
        default:
          throw std::invalid_argument("unknown escape \\" + tools::WideToUtf8({&escaped, 1}));
      }
    }
    if (i < line.size() && line[i] != L' ' && line[i] != L'\t') {
      throw std::invalid_argument("a closing quote is followed by more text");
    }
    words.push_back(std::move(word));
  }
}

std::wstring Plain(std::wstring text) {
  std::replace(text.begin(), text.end(), kLiteralBar, L'|');
  return text;
}

// One line's words with the checks every action needs.
class Line {
 public:
  Line(std::vector<Word> words, std::size_t first) : words_(std::move(words)), next_(first) {}

  [[noreturn]] static void Fail(const std::string& message) {
    throw std::invalid_argument(message);
  }

  bool AtEnd() const { return next_ == words_.size(); }

  // Takes the next word when it is this unquoted keyword.
  bool Keyword(std::wstring_view keyword) {
    if (AtEnd() || words_[next_].quoted || words_[next_].text != keyword) return false;
    ++next_;
    return true;
  }

  const Word& Next(const char* what) {
    if (AtEnd()) Fail(std::string("missing ") + what);
    return words_[next_++];
  }

  std::wstring Text(const char* what) {
    std::wstring text = Plain(Next(what).text);
    CheckTimes(text);
    return text;
  }

  std::wstring Name(const char* what) {
    const Word& word = Next(what);
    if (word.text.empty()) Fail(std::string("empty ") + what);
    return Plain(word.text);
  }

  ControlRef Control(bool control_required) {
    const std::wstring text = Name("window.control");
    const auto dot = text.find(L'.');
    ControlRef ref{.window = text.substr(0, dot)};
    if (dot != std::wstring::npos) ref.control = text.substr(dot + 1);
    if (ref.window.empty() || (dot != std::wstring::npos && ref.control.empty()) ||
        (control_required && ref.control.empty())) {
      Fail("expected WINDOW.CONTROL, got \"" + tools::WideToUtf8(text) + "\"");
    }
    return ref;
  }

  std::wstring Window() {
    ControlRef ref = Control(false);
    if (!ref.control.empty()) Fail("expected a window name without a control");
    return ref.window;
  }

  ItemRef Item(const char* what) {
    const Word& word = Next(what);
    const std::wstring& text = word.text;
    if (!word.quoted && text.size() > 1 && text[0] == L'#' &&
        text.find_first_not_of(L"0123456789", 1) == std::wstring::npos) {
      return {.position = Number(text.substr(1))};
    }
    return {.text = Plain(text)};
  }

  int Count(const char* what) { return Number(Next(what).text); }

  bool YesNo() {
    const std::wstring text = Next("yes or no").text;
    if (text == L"yes") return true;
    if (text == L"no") return false;
    Fail("expected yes or no");
  }

  template <typename T>
  T Choice(const char* what, const std::map<std::wstring, T>& choices) {
    std::wstring text = Next(what).text;
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t ch) {
      return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(ch)));
    });
    const auto found = choices.find(text);
    if (found == choices.end()) {
      std::string known;
      for (const auto& [name, value] : choices)
        known += (known.empty() ? "" : ", ") + tools::WideToUtf8(name);
      Fail(std::string("expected ") + what + " (" + known + ")");
    }
    return found->second;
  }

  std::vector<std::wstring> RestTexts() {
    std::vector<std::wstring> texts;
    while (!AtEnd()) texts.push_back(Text("text"));
    return texts;
  }

  void End() {
    if (!AtEnd()) Fail("unexpected \"" + tools::WideToUtf8(Plain(words_[next_].text)) + "\"");
  }

  std::vector<std::wstring> Columns() {
    const std::wstring raw = Next("row").text;
    std::vector<std::wstring> columns;
    std::size_t start = 0;
    while (true) {
      const auto bar = raw.find(L'|', start);
      columns.push_back(Plain(raw.substr(start, bar - start)));
      CheckTimes(columns.back());
      if (bar == std::wstring::npos) return columns;
      start = bar + 1;
    }
  }

 private:
  static int Number(const std::wstring& text) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of(L"0123456789") != std::wstring::npos) {
      Fail("expected a whole number, got \"" + tools::WideToUtf8(text) + "\"");
    }
    return std::stoi(text);
  }

  static void CheckTimes(const std::wstring& text) {
    try {
      ExpandTimes(text, LocalTime{});
    } catch (const TimeTextError& error) {
      Fail(error.what());
    }
  }

  std::vector<Word> words_;
  std::size_t next_;
};

// "20x20".
bool IsSize(const std::wstring& text) {
  const auto x = text.find(L'x');
  const auto digits = [&](std::size_t from, std::size_t to) {
    return to > from && to - from <= 5 && text.find_first_not_of(L"0123456789", from) >= to;
  };
  return x != std::wstring::npos && digits(0, x) && digits(x + 1, text.size());
}

// A screen coordinate: a whole number, perhaps negative.
int Coordinate(const std::wstring& text) {
  const std::size_t digits = text.starts_with(L'-') ? 1 : 0;
  if (text.size() == digits || text.size() - digits > 6 ||
      text.find_first_not_of(L"0123456789", digits) != std::wstring::npos) {
    Line::Fail("expected a coordinate, got \"" + tools::WideToUtf8(text) + "\"");
  }
  return std::stoi(text);
}

Step ParseExpectation(Line& line) {
  const std::wstring what = line.Name("what to expect");
  if (what == L"messagebox") {
    expect::MsgBox box{.title = line.Text("title"), .text = line.Text("text")};
    bool alternative = line.Keyword(L"or");
    if (!alternative && !line.AtEnd()) {
      static const std::map<std::wstring, std::pair<int, std::wstring>> kButtons = {
          {L"ok", {1, L"OK"}},       {L"cancel", {2, L"Cancel"}}, {L"abort", {3, L"Abort"}},
          {L"retry", {4, L"Retry"}}, {L"ignore", {5, L"Ignore"}}, {L"yes", {6, L"Yes"}},
          {L"no", {7, L"No"}},       {L"open", {0, L""}}};
      std::tie(box.button, box.button_name) = line.Choice("button", kButtons);
      alternative = line.Keyword(L"or");
    }
    if (alternative) {
      if (!line.Keyword(L"open")) line.Fail("expected \"open WINDOW\" after \"or\"");
      box.or_open = line.Window();
    }
    return box;
  }
  if (what == L"text")
    return expect::Text{.target = line.Control(false), .text = line.Text("text")};
  if (what == L"rows") {
    expect::Rows rows{.target = line.Control(true)};
    while (!line.AtEnd()) rows.rows.push_back(line.Columns());
    return rows;
  }
  if (what == L"row-count") {
    expect::RowCount count{.target = line.Control(true)};
    count.at_least = line.Keyword(L"at-least");
    count.count = line.Count("number of rows");
    return count;
  }
  if (what == L"focus") return expect::Focus{.target = line.Control(true)};
  if (what == L"open") return expect::Open{.window = line.Window(), .open = true};
  if (what == L"closed") return expect::Open{.window = line.Window(), .open = false};
  if (what == L"windows") {
    return expect::WindowCount{.window = line.Window(), .count = line.Count("number of windows")};
  }
  if (what == L"outbox") return expect::Outbox{.count = line.Count("number of mails")};
  if (what == L"mail") {
    using expect::MailField;
    static const std::map<std::wstring, MailField> kFields = {{L"to", MailField::To},
                                                              {L"subject", MailField::Subject},
                                                              {L"body", MailField::Body},
                                                              {L"state", MailField::State},
                                                              {L"file", MailField::File}};
    expect::Mail mail{.number = line.Count("mail number")};
    if (mail.number < 1) Line::Fail("mails are numbered from 1");
    mail.field = line.Choice("mail field", kFields);
    mail.text = line.Text("text");
    return mail;
  }
  if (what == L"bar") {
    expect::Bar bar{.name = line.Name("bar name")};
    bar.captions = line.RestTexts();
    return bar;
  }
  if (what == L"button") {
    using expect::ButtonProperty;
    static const std::map<std::wstring, ButtonProperty> kProperties = {
        {L"tag", ButtonProperty::Tag},         {L"onaction", ButtonProperty::OnAction},
        {L"style", ButtonProperty::Style},     {L"enabled", ButtonProperty::Enabled},
        {L"visible", ButtonProperty::Visible}, {L"face", ButtonProperty::Face}};
    expect::Button button{.caption = line.Text("caption")};
    button.property = line.Choice("button property", kProperties);
    button.value = line.Text("value");
    return button;
  }
  if (what == L"ribbon") {
    expect::RibbonGroup group{.tab = line.Name("tab"), .group = line.Text("group")};
    group.labels = line.RestTexts();
    return group;
  }
  if (what == L"ribbon-button") {
    using expect::RibbonProperty;
    static const std::map<std::wstring, RibbonProperty> kProperties = {
        {L"enabled", RibbonProperty::Enabled}, {L"picture", RibbonProperty::Picture}};
    expect::RibbonButton button{.tab = line.Name("tab"), .label = line.Text("label")};
    button.property = line.Choice("ribbon button property", kProperties);
    button.value = line.Text("value");
    return button;
  }
  if (what == L"checked" || what == L"enabled" || what == L"visible") {
    expect::State state{.target = line.Control(true)};
    state.state = what == L"checked"   ? expect::ControlState::Checked
                  : what == L"enabled" ? expect::ControlState::Enabled
                                       : expect::ControlState::Visible;
    state.value = line.YesNo();
    return state;
  }
  if (what == L"registry") {
    return expect::Registry{.name = line.Name("value name"), .value = line.Text("value")};
  }
  if (what == L"no-registry") return expect::Registry{.name = line.Name("value name")};
  if (what == L"addin") {
    expect::Addin addin{.prog_id = line.Name("ProgID")};
    static const std::map<std::wstring, std::wstring> kStates = {
        {L"connected", L"connected"}, {L"disconnected", L"disconnected"}, {L"failed", L"failed"}};
    addin.state = line.Choice("add-in state", kStates);
    return addin;
  }
  if (what == L"file") {
    expect::File file{.file = line.Name("file")};
    file.lines = line.RestTexts();
    return file;
  }
  if (what == L"no-file") return expect::File{.file = line.Name("file")};
  if (what == L"context-menu") {
    // Rows, a lone colon, then the labels.
    expect::ContextMenuEntries menu;
    while (true) {
      const ItemRef row = line.Item("row or :");
      if (row.position == 0 && row.text == L":") break;
      menu.rows.push_back(row);
    }
    if (menu.rows.empty()) Line::Fail("expected a row before the colon");
    menu.labels = line.RestTexts();
    return menu;
  }
  if (what == L"placed") {
    static const std::map<std::wstring, Placed> kHow = {{L"inside", Placed::Inside},
                                                        {L"centred", Placed::Centred},
                                                        {L"beside", Placed::Beside},
                                                        {L"right-of", Placed::RightOf},
                                                        {L"left-of", Placed::LeftOf}};
    expect::Placement placed{.window = line.Window()};
    placed.how = line.Choice("placement", kHow);
    placed.other = line.Window();
    return placed;
  }
  if (what == L"clipboard") {
    using expect::ClipboardProperty;
    static const std::map<std::wstring, ClipboardProperty> kProperties = {
        {L"text", ClipboardProperty::Text},
        {L"image", ClipboardProperty::Image},
        {L"touched", ClipboardProperty::Touched}};
    expect::Clipboard clipboard{.property = line.Choice("clipboard property", kProperties)};
    if (clipboard.property == ClipboardProperty::Touched) {
      clipboard.value = line.YesNo() ? L"yes" : L"no";
    } else {
      clipboard.value = line.Text("value");
    }
    if (clipboard.property == ClipboardProperty::Image && clipboard.value != L"none" &&
        clipboard.value != L"copied" && !IsSize(clipboard.value)) {
      Line::Fail("expected none, copied or WIDTHxHEIGHT");
    }
    return clipboard;
  }
  Line::Fail("unknown expectation \"" + tools::WideToUtf8(what) + "\"");
}

Step ParseStep(Line& line, const std::wstring& verb) {
  if (verb == L"expect") return ParseExpectation(line);
  if (verb == L"press") return action::Press{.caption = line.Text("caption")};
  if (verb == L"type") return action::Type{.target = line.Control(true), .text = line.Text("text")};
  if (verb == L"click") return action::Click{.target = line.Control(true)};
  if (verb == L"tick") return action::SetCheck{.target = line.Control(true), .checked = true};
  if (verb == L"untick") return action::SetCheck{.target = line.Control(true), .checked = false};
  if (verb == L"select") {
    action::Select select{.target = line.Control(true)};
    do {
      select.rows.push_back(line.Item("row"));
    } while (!line.AtEnd());
    return select;
  }
  if (verb == L"double-click") {
    return action::DoubleClick{.target = line.Control(true), .row = line.Item("row")};
  }
  if (verb == L"header-click") {
    return action::HeaderClick{.target = line.Control(true), .column = line.Item("column")};
  }
  if (verb == L"close") return action::Close{.window = line.Window()};
  if (verb == L"ribbon-click") {
    return action::RibbonClick{.tab = line.Name("tab"), .label = line.Text("label")};
  }
  if (verb == L"open-context-menu") {
    action::OpenContextMenu menu;
    do {
      menu.rows.push_back(line.Item("row"));
    } while (!line.AtEnd());
    return menu;
  }
  if (verb == L"context-menu") {
    action::ContextMenu menu;
    menu.rows.push_back(line.Item("row"));
    do {
      menu.rows.push_back(line.Item("row or entry"));
    } while (!line.AtEnd());
    // The last word is the entry; a position there is no label.
    const ItemRef entry = menu.rows.back();
    menu.rows.pop_back();
    if (entry.position > 0) Line::Fail("expected the entry's label last");
    menu.entry = entry.text;
    return menu;
  }
  if (verb == L"timer") return action::Timer{.label = line.Name("label")};
  if (verb == L"load") return action::LoadAddins{};
  if (verb == L"unload") return action::UnloadAddins{};
  if (verb == L"restart") return action::Restart{};
  if (verb == L"unload-after-call") {
    action::UnloadAfterCall unload{.call = line.Name("Object.Member")};
    if (unload.call.find(L'.') == std::wstring::npos) Line::Fail("expected Object.Member");
    unload.count = line.Count("number of calls");
    if (unload.count < 1) Line::Fail("calls are counted from 1");
    return unload;
  }
  if (verb == L"set-addin-value") {
    return action::SetAddinValue{.prog_id = line.Name("ProgID"),
                                 .name = line.Name("value name"),
                                 .value = line.Count("number")};
  }
  if (verb == L"set-registry") {
    return action::SetRegistry{.name = line.Name("value name"), .value = line.Text("value")};
  }
  if (verb == L"delete-registry") return action::DeleteRegistry{.name = line.Name("value name")};
  if (verb == L"screenshot") {
    action::Screenshot shot{.file = line.Name("file")};
    if (!line.AtEnd()) shot.window = line.Window();
    return shot;
  }
  if (verb == L"write-file") {
    action::WriteFile write{.file = line.Name("file")};
    write.lines = line.RestTexts();
    return write;
  }
  if (verb == L"read-only") {
    action::ReadOnlyFile read_only{.file = line.Name("file")};
    read_only.read_only = line.YesNo();
    return read_only;
  }
  if (verb == L"read-only-registry") return action::ReadOnlyRegistry{.read_only = line.YesNo()};
  if (verb == L"move") {
    action::Move move{.window = line.Window()};
    const std::wstring x = line.Name("x, right-N or beyond");
    if (x == L"beyond") {
      move.from_right = true;
      move.beyond = true;
      move.x = 40;
    } else if (x.starts_with(L"right-") && !x.starts_with(L"right--")) {
      move.from_right = true;
      move.x = -Coordinate(x.substr(6));
    } else {
      move.x = Coordinate(x);
    }
    move.y = Coordinate(line.Name("y"));
    return move;
  }
  Line::Fail("unknown action \"" + tools::WideToUtf8(verb) + "\"");
}

}  // namespace

ScenarioError::ScenarioError(int line, const std::string& message)
    : std::runtime_error(message), line_(line) {}

std::wstring ControlRef::Text() const { return control.empty() ? window : window + L"." + control; }

std::wstring ItemRef::Text() const {
  return position > 0 ? L"#" + std::to_wstring(position) : L"\"" + text + L"\"";
}

std::vector<std::wstring> SplitWords(std::wstring_view line) {
  std::vector<std::wstring> texts;
  for (Word& word : Tokenize(line)) texts.push_back(Plain(std::move(word.text)));
  return texts;
}

std::vector<ScenarioLine> ParseScenario(std::wstring_view text) {
  std::vector<ScenarioLine> lines;
  int number = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const auto end = std::min(text.find(L'\n', pos), text.size());
    std::wstring_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (!raw.empty() && raw.back() == L'\r') raw.remove_suffix(1);
    if (number == 1 && raw.starts_with(L'\uFEFF')) raw.remove_prefix(1);
    const auto first = raw.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos || raw[first] == L'#') continue;
    try {
      std::vector<Word> words = Tokenize(raw);
      const std::wstring verb = words.front().text;
      Line line(std::move(words), 1);
      Step step = ParseStep(line, verb);
      line.End();
      lines.push_back({.line = number, .step = std::move(step)});
    } catch (const std::invalid_argument& error) {
      throw ScenarioError(number, error.what());
    }
  }
  return lines;
}

}  // namespace parvel::standin
