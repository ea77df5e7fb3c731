#include "dialogs/zn_sms_templates.h"

#include <string>
#include <vector>

#include "dialogs/ol_main.h"
#include "dialogs/zn_sms_templates_controls.h"

namespace parvel {
namespace {

using namespace zn_sms_templates_controls;

}  // namespace

ZNSMSTemplates::ZNSMSTemplates(const ZNSMSTemplatesPorts& ports)
    : ports_(ports), store_(ports_.files, ports_.location, ports_.code_page) {}

void ZNSMSTemplates::Form_Load() {
  ports_.view.SetCaption(kTemplatesCaption);
  LoadTemplates();
}

void ZNSMSTemplates::LoadTemplates() {
  store_.LoadTemplates();
  ports_.view.ClearList(kList1);
  const std::vector<std::wstring> names = store_.TemplateNames();
  for (std::size_t row = 0; row < names.size(); ++row) {
    ports_.view.AddListItem(kList1, names[row], static_cast<int>(row));
  }
}

bool ZNSMSTemplates::SaveThenLoad() {
  const bool saved = store_.SaveTemplates();
  LoadTemplates();
  if (!saved) {
    ports_.message_boxes.Show(kTemplatesNotSavedTitle, kTemplatesNotSavedText,
                              MessageIcon::Exclamation);
  }
  return saved;
}

std::optional<std::size_t> ZNSMSTemplates::SelectedEntry() {
  const std::optional<std::size_t> row = ports_.view.ListIndex(kList1);
  if (!row || *row >= store_.TemplateCount()) {
    ports_.message_boxes.Show(kNoTemplateSelectedTitle, kNoTemplateSelectedText);
    ports_.view.Focus(kList1);
    return std::nullopt;
  }
  return *row + 1;
}

void ZNSMSTemplates::Command1_Click() {
  const std::optional<std::size_t> entry = SelectedEntry();
  if (!entry) return;
  ports_.windows.ComposeWindow().SetMessage(store_.TemplateTexts()[*entry]);
  ports_.view.Close();
}

void ZNSMSTemplates::Command2_Click() { ports_.view.Close(); }

void ZNSMSTemplates::Command3_Click() {
  const std::wstring text = ports_.view.Text(kText1);
  const std::wstring name = ports_.view.Text(kText2);
  if (text.empty() || name.empty()) {
    ports_.message_boxes.Show(kInsufficientDataTitle, kInsufficientDataText);
    ports_.view.Focus(kText1);
    return;
  }
  const auto breaks = [](const std::wstring& box) {
    return box.find_first_of(L"\r\n") != std::wstring::npos;
  };
  if (breaks(text) || breaks(name)) {
    ports_.message_boxes.Show(kLineBreakTitle, kLineBreakText);
    ports_.view.Focus(breaks(text) ? kText1 : kText2);
    return;
  }
  store_.AddTemplate(name, text);
  if (!SaveThenLoad()) {
    // What the user typed stays for another try.
    ports_.view.Focus(kText1);
    return;
  }
  ports_.view.SetText(kText1, L"");
  ports_.view.SetText(kText2, L"");
  ports_.view.Focus(kList1);
}

void ZNSMSTemplates::Command4_Click() {
  const std::optional<std::size_t> entry = SelectedEntry();
  if (!entry) return;
  store_.MarkDeleted(*entry);
  SaveThenLoad();
  ports_.view.Focus(kList1);
}

}  // namespace parvel
