#pragma once

// Scenario files for the stand-in host: one action or expectation per line,
// words separated by blanks, texts with blanks in double quotes (with the
// escapes backslash, quote, n, r, t and bar), '#' starting a comment line.
// README.md beside this file describes the format.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "standin_host/placement_check.h"

namespace parvel::standin {

class ScenarioError : public std::runtime_error {
 public:
  ScenarioError(int line, const std::string& message);
  int line() const noexcept { return line_; }

 private:
  int line_;
};

// A window by its name in code, and optionally one of its controls
// ("OLMain.Text2"); an empty control means the window itself.
struct ControlRef {
  std::wstring window;
  std::wstring control;

  std::wstring Text() const;  // as written in the scenario
  bool operator==(const ControlRef&) const = default;
};

// A row or column: by 1-based position (#3) or by the text of its first
// column (rows) or header (columns).
struct ItemRef {
  int position = 0;  // 0: by text
  std::wstring text;

  std::wstring Text() const;
  bool operator==(const ItemRef&) const = default;
};

namespace action {

struct Press {
  std::wstring caption;
};
struct Type {
  ControlRef target;
  std::wstring text;
};
struct Click {
  ControlRef target;
};
struct SetCheck {
  ControlRef target;
  bool checked = true;
};
struct Select {
  ControlRef target;
  std::vector<ItemRef> rows;
};
struct DoubleClick {
  ControlRef target;
  ItemRef row;
};
struct HeaderClick {
  ControlRef target;
  ItemRef column;
};
struct Close {
  std::wstring window;
};
struct RibbonClick {
  std::wstring tab;
  std::wstring label;
};
// Opens the context menu on rows of the host's contacts view and chooses.
struct ContextMenu {
  std::vector<ItemRef> rows;
  std::wstring entry;
};
// Opens it and leaves it open (for a screenshot).
struct OpenContextMenu {
  std::vector<ItemRef> rows;
};
// A line of the timings: the time since the previous timer line (the first:
// since the host started) and the add-ins' host calls meanwhile.
struct Timer {
  std::wstring label;
};
struct LoadAddins {};
struct UnloadAddins {};
// Outlook closes and starts again (a new process, as the add-ins see it).
struct Restart {};
// Unloads the add-ins from inside the add-in: posted when its Nth call of
// Object.Member from now on returns, it runs when the add-in lets events run.
struct UnloadAfterCall {
  std::wstring call;
  int count = 1;
};
// A number (REG_DWORD) in the add-in's key, as a policy may set one.
struct SetAddinValue {
  std::wstring prog_id;
  std::wstring name;
  int value = 0;
};
struct SetRegistry {
  std::wstring name;
  std::wstring value;
};
struct DeleteRegistry {
  std::wstring name;
};
// The word that names the message box on top instead of a window.
inline constexpr std::wstring_view kMessageBoxShot = L"messagebox";
struct Screenshot {
  std::wstring file;
  std::wstring window;  // empty: every window of the process; else one, or kMessageBoxShot
};
// Files may start with {addin}: the folder of the loaded add-in's DLL.
struct WriteFile {
  std::wstring file;
  std::vector<std::wstring> lines;
};
struct ReadOnlyFile {
  std::wstring file;
  bool read_only = true;
};
struct ReadOnlyRegistry {
  bool read_only = true;
};
// Moves a shown top-level window (the explorer, "Outlook") to a point of the
// screen. x counts from the left edge of the screen, or with from_right from
// the right edge of the rightmost monitor ("right-800"), or with beyond from
// the right edge of the real screen ("beyond": 40 pixels right of it, on the
// monitor --monitor plays there, or else off every monitor: Wine under Xvfb
// has a single one).
struct Move {
  std::wstring window;
  int x = 0;
  bool from_right = false;
  bool beyond = false;
  int y = 0;
};

}  // namespace action

namespace expect {

struct MsgBox {
  std::wstring title;
  std::wstring text;
  int button = 1;  // the dialog item ID to press: IDOK unless named; 0 leaves the box open
  std::wstring button_name = L"OK";
  // "or open W": the line holds as well when the window W opens with no such
  // box before it (a first-run message that a used prefix does not show).
  std::wstring or_open;
};
struct Text {
  ControlRef target;
  std::wstring text;
};
struct Rows {
  ControlRef target;
  std::vector<std::vector<std::wstring>> rows;
};
// The number of rows of a list, exactly or at least, read without the rows'
// texts: a long list is counted cheaply again and again.
struct RowCount {
  ControlRef target;
  int count = 0;
  bool at_least = false;
};
struct Focus {
  ControlRef target;
};
struct Open {
  std::wstring window;
  bool open = true;
};
struct WindowCount {
  std::wstring window;
  int count = 0;
};
struct Outbox {
  int count = 0;
};
enum class MailField { To, Subject, Body, State, File };
struct Mail {
  int number = 1;
  MailField field = MailField::To;
  std::wstring text;
};
struct Bar {
  std::wstring name;
  std::vector<std::wstring> captions;
};
enum class ButtonProperty { Tag, OnAction, Style, Enabled, Visible, Face };
struct Button {
  std::wstring caption;
  ButtonProperty property = ButtonProperty::Tag;
  std::wstring value;
};
struct RibbonGroup {
  std::wstring tab;
  std::wstring group;
  std::vector<std::wstring> labels;
};
enum class RibbonProperty { Enabled, Picture };
struct RibbonButton {
  std::wstring tab;
  std::wstring label;
  RibbonProperty property = RibbonProperty::Enabled;
  std::wstring value;
};
enum class ControlState { Checked, Enabled, Visible };
struct State {
  ControlRef target;
  ControlState state = ControlState::Checked;
  bool value = true;
};
struct Registry {
  std::wstring name;
  std::optional<std::wstring> value;  // none: the value must be absent
};
struct Addin {
  std::wstring prog_id;
  std::wstring state;  // connected, disconnected or failed
};
struct File {
  std::wstring file;
  std::optional<std::vector<std::wstring>> lines;  // none: the file must be absent
};
// The window against another: inside, centred on, beside (either side),
// right-of or left-of it. The other may be the word "screen": the work area
// of the monitor the window is on or nearest to.
inline constexpr std::wstring_view kScreenArea = L"screen";
struct Placement {
  std::wstring window;
  Placed how = Placed::Inside;
  std::wstring other;
};
// The clipboard: its text, its picture ("none", "WxH", or "copied": the very
// picture --clipboard-image put there) or whether anything changed it since
// the host put its content there, before the add-ins started.
enum class ClipboardProperty { Text, Image, Touched };
// The add-ins' entries of the context menu these rows of the contacts view
// open, exactly and in order (none: no entry of an add-in).
struct ContextMenuEntries {
  std::vector<ItemRef> rows;
  std::vector<std::wstring> labels;
};
struct Clipboard {
  ClipboardProperty property = ClipboardProperty::Text;
  std::wstring value;
};

}  // namespace expect

using Step =
    std::variant<action::Press, action::Type, action::Click, action::SetCheck, action::Select,
                 action::DoubleClick, action::HeaderClick, action::Close, action::RibbonClick,
                 action::ContextMenu, action::OpenContextMenu, action::Timer, action::LoadAddins,
                 action::UnloadAddins, action::Restart, action::UnloadAfterCall,
                 action::SetAddinValue, action::SetRegistry, action::DeleteRegistry,
                 action::Screenshot, action::WriteFile, action::ReadOnlyFile,
                 action::ReadOnlyRegistry, action::Move, expect::MsgBox, expect::Text, expect::Rows,
                 expect::RowCount, expect::Focus, expect::Open, expect::WindowCount, expect::Outbox,
                 expect::Mail, expect::Bar, expect::Button, expect::RibbonGroup,
                 expect::RibbonButton, expect::State, expect::Registry, expect::Addin, expect::File,
                 expect::Placement, expect::Clipboard, expect::ContextMenuEntries>;

struct ScenarioLine {
  int line = 0;
  Step step;
};

// Throws ScenarioError at the first line that is not understood.
std::vector<ScenarioLine> ParseScenario(std::wstring_view text);

// Splits one line into words; exposed for tests of the quoting rules.
std::vector<std::wstring> SplitWords(std::wstring_view line);

}  // namespace parvel::standin
