#include "dialogs/templates_presenter.h"

#include <string>
#include <tuple>
#include <vector>

#include "dialogs/compose_presenter.h"
#include "dialogs/stored_text.h"
#include "dialogs/templates_controls.h"

namespace parvel {
namespace {

using namespace templates_controls;

}  // namespace

TemplatesPresenter::TemplatesPresenter(const TemplatesPorts& ports)
    : ports_(ports), store_(ports_.files, ports_.location, ports_.code_page) {}

void TemplatesPresenter::Load() {
  ports_.view.SetCaption(kTemplatesCaption);
  LoadTemplates();
}

void TemplatesPresenter::LoadTemplates() {
  store_.LoadTemplates();
  ports_.view.ClearList(kTemplateList);
  const std::vector<std::wstring> names = store_.TemplateNames();
  for (std::size_t row = 0; row < names.size(); ++row) {
    ports_.view.AddListItem(kTemplateList, names[row], static_cast<int>(row));
  }
}

bool TemplatesPresenter::SaveThenLoad() {
  const bool saved = store_.SaveTemplates();
  LoadTemplates();
  if (!saved) {
    ports_.message_boxes.Show(kTemplatesNotSavedTitle, kTemplatesNotSavedText,
                              MessageIcon::Exclamation);
  }
  return saved;
}

std::optional<std::size_t> TemplatesPresenter::SelectedEntry() {
  const std::optional<std::size_t> row = ports_.view.ListIndex(kTemplateList);
  if (!row || *row >= store_.TemplateCount()) {
    ports_.message_boxes.Show(kNoTemplateSelectedTitle, kNoTemplateSelectedText);
    ports_.view.Focus(kTemplateList);
    return std::nullopt;
  }
  return *row + 1;
}

void TemplatesPresenter::OnSelectClicked() {
  const std::optional<std::size_t> entry = SelectedEntry();
  if (!entry) return;
  ports_.windows.ComposeWindow().SetMessage(store_.TemplateTexts()[*entry]);
  ports_.view.Close();
}

void TemplatesPresenter::OnCloseClicked() { ports_.view.Close(); }

void TemplatesPresenter::OnAddClicked() {
  const std::wstring text = ports_.view.Text(kNewTextBox);
  const std::wstring name = ports_.view.Text(kNewNameBox);
  if (text.empty() || name.empty()) {
    ports_.message_boxes.Show(kInsufficientDataTitle, kInsufficientDataText);
    ports_.view.Focus(kNewTextBox);
    return;
  }
  const auto breaks = [](const std::wstring& box) {
    return box.find_first_of(L"\r\n") != std::wstring::npos;
  };
  if (breaks(text) || breaks(name)) {
    ports_.message_boxes.Show(kLineBreakTitle, kLineBreakText);
    ports_.view.Focus(breaks(text) ? kNewTextBox : kNewNameBox);
    return;
  }
  for (const auto& [box, what, typed] : {std::tuple{kNewTextBox, L"The template", &text},
                                         std::tuple{kNewNameBox, L"The template's name", &name}}) {
    if (const auto refusal = UnstorableTextMessage(what, *typed, ports_.code_page)) {
      ports_.message_boxes.Show(kCharactersNotStoredTitle, *refusal);
      ports_.view.Focus(box);
      return;
    }
  }
  store_.AddTemplate(name, text);
  if (!SaveThenLoad()) {
    // What the user typed stays for another try.
    ports_.view.Focus(kNewTextBox);
    return;
  }
  ports_.view.SetText(kNewTextBox, L"");
  ports_.view.SetText(kNewNameBox, L"");
  ports_.view.Focus(kTemplateList);
}

void TemplatesPresenter::OnDeleteClicked() {
  const std::optional<std::size_t> entry = SelectedEntry();
  if (!entry) return;
  store_.MarkDeleted(*entry);
  SaveThenLoad();
  ports_.view.Focus(kTemplateList);
}

}  // namespace parvel
