#pragma once

// The host's add-in connection interface (IDTExtensibility2 of the add-in
// designer library), declared here because mingw-w64 ships no header for it.

#include <oaidl.h>
#include <objbase.h>

enum ext_ConnectMode {
  ext_cm_AfterStartup = 0,
  ext_cm_Startup = 1,
  ext_cm_External = 2,
  ext_cm_CommandLine = 3,
};

enum ext_DisconnectMode {
  ext_dm_HostShutdown = 0,
  ext_dm_UserClosed = 1,
};

struct IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application,
                                                 ext_ConnectMode connect_mode,
                                                 IDispatch* addin_instance, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode remove_mode,
                                                    SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};
__CRT_UUID_DECL(IDTExtensibility2, 0xB65AD801, 0xABAF, 0x11D0, 0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F,
                0x27, 0x44)

// DISPIDs of IDTExtensibility2 as the add-in designer library numbers them.
inline constexpr DISPID kDispidOnConnection = 1;
inline constexpr DISPID kDispidOnDisconnection = 2;
inline constexpr DISPID kDispidOnAddInsUpdate = 3;
inline constexpr DISPID kDispidOnStartupComplete = 4;
inline constexpr DISPID kDispidOnBeginShutdown = 5;

// The Office command bar button's event interface; Click is DISPID 1 with
// (Ctrl As CommandBarButton, CancelDefault As Boolean ByRef).
inline constexpr IID kIidCommandBarButtonEvents = {
    0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kDispidCommandBarButtonClick = 1;

// Office's ribbon extensibility interface: the host asks the connector for it
// and calls GetCustomUI once for each ribbon it shows (Office 2010 and later).
struct IRibbonExtensibility : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbon_id, BSTR* ribbon_xml) = 0;
};
__CRT_UUID_DECL(IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00,
                0x00, 0x00, 0x46)

// The control a ribbon callback is about (Id, Tag, Context), as a host hands
// it over; the add-in reads it late-bound.
inline constexpr IID kIidRibbonControl = {
    0x000C0395, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Outlook's class numbers of the objects a ribbon control's Context may be.
inline constexpr int kOlExplorerClass = 34;
inline constexpr int kOlSelectionClass = 74;

// Outlook's application events (ApplicationEvents_11); Quit, DISPID 0xF007
// without arguments, is raised when Outlook begins to close. From Outlook 2010
// on it is the only word of the close an add-in gets, unless its add-in key
// holds RequireShutdownNotification = 1.
inline constexpr IID kIidApplicationEvents11 = {
    0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kDispidApplicationQuit = 0xF007;
