#include "addin/ribbon.h"

#include <algorithm>
#include <cwctype>

namespace parvel::addin {
namespace {

bool SameName(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return std::towlower(static_cast<std::wint_t>(x)) == std::towlower(static_cast<std::wint_t>(y));
  });
}

// The group "SMS" on the Home tab of the mail module and of the contacts
// module, and an entry on the menus of a contact or distribution list, of a
// flagged contact and of several items, shown only when the selection has a
// contact or a distribution list. Ids are the add-in's own: the host refuses
// a duplicate.
constexpr std::wstring_view kExplorerXml =
    LR"(<customUI xmlns="http://schemas.microsoft.com/office/2009/07/customui">
  <ribbon>
    <tabs>
      <tab idMso="TabMail">
        <group id="ParvelSmsMail" label="SMS">
          <button id="ParvelSendSmsMail" label="Send SMS" size="large"
                  screentip="Send SMS" supertip="Opens the window to write and send an SMS."
                  getImage="ParvelGetImage" onAction="ParvelSendSms"/>
        </group>
      </tab>
      <tab idMso="TabContacts">
        <group id="ParvelSmsContacts" label="SMS">
          <button id="ParvelSendSmsContacts" label="Send SMS" size="large"
                  screentip="Send SMS" supertip="Opens the window to write and send an SMS."
                  getImage="ParvelGetImage" onAction="ParvelSendSms"/>
        </group>
      </tab>
    </tabs>
  </ribbon>
  <contextMenus>
    <contextMenu idMso="ContextMenuContactItem">
      <button id="ParvelSendSmsToContact" label="Send SMS" getVisible="ParvelGetVisible"
              getImage="ParvelGetImage" onAction="ParvelSendSmsToSelection"/>
    </contextMenu>
    <contextMenu idMso="ContextMenuFlaggedContactItem">
      <button id="ParvelSendSmsToFlaggedContact" label="Send SMS" getVisible="ParvelGetVisible"
              getImage="ParvelGetImage" onAction="ParvelSendSmsToSelection"/>
    </contextMenu>
    <contextMenu idMso="ContextMenuMultipleItems">
      <button id="ParvelSendSmsToItems" label="Send SMS" getVisible="ParvelGetVisible"
              getImage="ParvelGetImage" onAction="ParvelSendSmsToSelection"/>
    </contextMenu>
  </contextMenus>
</customUI>
)";

}  // namespace

std::optional<RibbonCallback> FindRibbonCallback(std::wstring_view name) {
  if (SameName(name, kSendSmsCallback)) return RibbonCallback::SendSms;
  if (SameName(name, kSendSmsToSelectionCallback)) return RibbonCallback::SendSmsToSelection;
  if (SameName(name, kGetImageCallback)) return RibbonCallback::GetImage;
  if (SameName(name, kGetVisibleCallback)) return RibbonCallback::GetVisible;
  return std::nullopt;
}

std::wstring CustomUiFor(std::wstring_view ribbon_id) {
  if (ribbon_id != kExplorerRibbonId) return {};
  return std::wstring(kExplorerXml);
}

RibbonPicture PictureFor(std::wstring_view control_id) {
  return control_id == L"ParvelSendSmsToContact" || control_id == L"ParvelSendSmsToItems" ||
                 control_id == L"ParvelSendSmsToFlaggedContact"
             ? RibbonPicture::Small
             : RibbonPicture::Large;
}

}  // namespace parvel::addin
