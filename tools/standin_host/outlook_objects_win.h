#pragma once

// The part of Outlook's object model the add-in uses: the application, the
// MAPI namespace with its stores, folders and items, new mail items, and the
// active explorer with its command bars.

#include <ocidl.h>

#include <string>
#include <vector>

#include "standin_host/address_book.h"
#include "standin_host/dispatch_win.h"
#include "standin_host/event_sinks_win.h"
#include "standin_host/mail_outbox.h"

namespace parvel::standin {

class CommandBarsObject;

// A mail item made by CreateItem; Redemption's safe mail item wraps it.
class MailItemObject final : public DispatchImpl<MailItemObject> {
 public:
  using DispatchImpl::DispatchImpl;
  static const MemberTable<MailItemObject>& Members();
  std::wstring_view TypeName() const override { return L"MailItem"; }

  MailRecipients& recipients() { return recipients_; }
  std::wstring subject;
  std::wstring body;
  void MarkSaved() { saved_ = true; }
  // Writes the mail to the outbox; raises when it was sent already or cannot go.
  void Submit();

 private:
  Variant Class(Arguments&);
  Variant GetTo(Arguments&);
  void PutTo(Arguments& args);
  Variant GetSubject(Arguments&);
  void PutSubject(Arguments& args);
  Variant GetBody(Arguments&);
  void PutBody(Arguments& args);
  Variant Recipients(Arguments&);
  Variant Save(Arguments&);
  Variant Send(Arguments&);
  Variant Saved(Arguments&);
  Variant Sent(Arguments&);

  MailRecipients recipients_;
  bool saved_ = false;
  bool sent_ = false;
};

// Items of a folder, read-only, each kind with its own members as in Outlook.
class ContactItemObject final : public DispatchImpl<ContactItemObject> {
 public:
  ContactItemObject(std::shared_ptr<HostContext> context, const OutlookItem& item)
      : DispatchImpl(std::move(context)), item_(item) {}
  static const MemberTable<ContactItemObject>& Members();
  std::wstring_view TypeName() const override { return L"ContactItem"; }

 private:
  Variant Class(Arguments&);
  Variant MessageClass(Arguments&);
  Variant EntryID(Arguments&);
  Variant FileAs(Arguments&);
  Variant FullName(Arguments&);
  Variant MobileTelephoneNumber(Arguments&);

  const OutlookItem& item_;
};

class DistListItemObject final : public DispatchImpl<DistListItemObject> {
 public:
  DistListItemObject(std::shared_ptr<HostContext> context, const OutlookItem& item)
      : DispatchImpl(std::move(context)), item_(item) {}
  static const MemberTable<DistListItemObject>& Members();
  std::wstring_view TypeName() const override { return L"DistListItem"; }
  const OutlookItem& item() const { return item_; }

 private:
  Variant Class(Arguments&);
  Variant MessageClass(Arguments&);
  Variant EntryID(Arguments&);
  Variant DLName(Arguments&);
  Variant MemberCount(Arguments&);
  Variant GetMember(Arguments& args);

  const OutlookItem& item_;
};

// A mail kept in a folder of the address book (not one made by CreateItem).
class StoredMailObject final : public DispatchImpl<StoredMailObject> {
 public:
  StoredMailObject(std::shared_ptr<HostContext> context, const OutlookItem& item)
      : DispatchImpl(std::move(context)), item_(item) {}
  static const MemberTable<StoredMailObject>& Members();
  std::wstring_view TypeName() const override { return L"MailItem"; }

 private:
  Variant Class(Arguments&);
  Variant MessageClass(Arguments&);
  Variant EntryID(Arguments&);
  Variant Subject(Arguments&);

  const OutlookItem& item_;
};

Variant ItemResult(const std::shared_ptr<HostContext>& context, const OutlookItem& item);

// The mail item's Recipients collection (Redemption's safe item shows the same).
Variant RecipientsResult(const ComPtr<MailItemObject>& mail);

// COM interfaces have no virtual destructor: objects end through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// The application, with its ApplicationEvents_11 connection point: the host
// raises Quit as it begins to close.
class ApplicationObject final : public DispatchImpl<ApplicationObject>,
                                public IConnectionPointContainer {
 public:
  ApplicationObject(std::shared_ptr<HostContext> context, ComPtr<CommandBarsObject> bars);
  static const MemberTable<ApplicationObject>& Members();
  std::wstring_view TypeName() const override { return L"Application"; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return DispatchObject::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // Outlook begins to close: Quit to every sink advised.
  void RaiseQuit();
  // Outlook's process ends: the sinks go without a word.
  void DropEventSinks() { events_.DropAll(); }

 private:
  IUnknown* QueryOther(REFIID iid) override;

  Variant GetNamespace(Arguments& args);
  Variant Session(Arguments&);
  Variant CreateItem(Arguments& args);
  Variant ActiveExplorer(Arguments&);
  Variant Name(Arguments&);
  Variant Version(Arguments&);

  ComPtr<IDispatch> namespace_;
  ComPtr<IDispatch> explorer_;
  EventSinks events_;
};
#pragma GCC diagnostic pop

}  // namespace parvel::standin
