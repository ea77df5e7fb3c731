#pragma once

// What the add-in shows on the ribbon of Outlook 2010 and later: the customUI
// XML it hands the host per ribbon, and the callbacks that XML names, which
// the host calls late-bound through the connector.

#include <optional>
#include <string>
#include <string_view>

namespace parvel::addin {

inline constexpr std::wstring_view kExplorerRibbonId = L"Microsoft.Outlook.Explorer";

// The callbacks, by the DISPID the connector answers for their names. They
// lie apart from the numbers of the connector's own interfaces, whose
// methods a host may call through the same IDispatch (IDTExtensibility2's
// OnConnection to OnBeginShutdown are 1 to 5, IRibbonExtensibility's
// GetCustomUI is 1), and from the reserved ones (0 and below).
inline constexpr long kFirstRibbonDispid = 1001;
enum class RibbonCallback : long {
  SendSms = kFirstRibbonDispid,  // onAction of the ribbon buttons: the toolbar button's click
  SendSmsToSelection,            // onAction of the context menus: the selected items as recipients
  GetImage,                      // getImage: the large or the small picture
  GetVisible,                    // getVisible of the context menus: whether the selection has
                                 // a contact or a distribution list
  Last = GetVisible,
};

inline constexpr std::wstring_view kSendSmsCallback = L"ParvelSendSms";
inline constexpr std::wstring_view kSendSmsToSelectionCallback = L"ParvelSendSmsToSelection";
inline constexpr std::wstring_view kGetImageCallback = L"ParvelGetImage";
inline constexpr std::wstring_view kGetVisibleCallback = L"ParvelGetVisible";

// The callback of that name; COM compares names without letter case.
std::optional<RibbonCallback> FindRibbonCallback(std::wstring_view name);

// The customUI XML for a ribbon the host shows; empty for a ribbon the add-in
// adds nothing to (an inspector, for example).
std::wstring CustomUiFor(std::wstring_view ribbon_id);

enum class RibbonPicture { Large, Small };

// The picture a control of the XML shows: large buttons 32 x 32, context-menu
// entries 16 x 16.
RibbonPicture PictureFor(std::wstring_view control_id);

}  // namespace parvel::addin
