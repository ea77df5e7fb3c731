#include "standin_host/outlook_objects_win.h"

#include <oleidl.h>

#include <algorithm>
#include <cwctype>

#include "common/utf8.h"
#include "host/extensibility_win.h"
#include "standin_host/command_bars_win.h"
#include "standin_host/folder_table_win.h"
#include "standin_host/host_context.h"
#include "standin_host/outlook_address_book_win.h"

namespace parvel::standin {
namespace {

constexpr HRESULT kMapiObjectDeleted = static_cast<HRESULT>(0x8004010A);
constexpr HRESULT kMapiCallFailed = static_cast<HRESULT>(0x80004005);

[[noreturn]] void RaiseBadIndex() { Raise(DISP_E_BADINDEX, L"Array index out of bounds."); }

std::size_t CheckedIndex(long index, std::size_t count) {
  if (index < 1 || static_cast<std::size_t>(index) > count) RaiseBadIndex();
  return static_cast<std::size_t>(index - 1);
}

class RecipientObject final : public DispatchImpl<RecipientObject> {
 public:
  RecipientObject(std::shared_ptr<HostContext> context, std::wstring name)
      : DispatchImpl(std::move(context)), name_(std::move(name)) {}
  static const MemberTable<RecipientObject>& Members() {
    static const MemberTable<RecipientObject> table = {
        {.name = L"Name", .get = &RecipientObject::Name, .is_default = true},
        {.name = L"Address", .get = &RecipientObject::Name},
        {.name = L"Resolved", .get = &RecipientObject::Yes},
        {.name = L"Resolve", .get = &RecipientObject::Yes},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"Recipient"; }

 private:
  Variant Name(Arguments&) { return Variant::Text(name_); }
  Variant Yes(Arguments&) { return Variant::Bool(true); }

  std::wstring name_;
};

class RecipientsObject final : public DispatchImpl<RecipientsObject> {
 public:
  explicit RecipientsObject(ComPtr<MailItemObject> mail)
      : DispatchImpl(mail->shared_context()), mail_(std::move(mail)) {}
  static const MemberTable<RecipientsObject>& Members() {
    static const MemberTable<RecipientsObject> table = {
        {.name = L"Count", .get = &RecipientsObject::Count},
        {.name = L"Item", .get = &RecipientsObject::Item, .params = {L"Index"}, .is_default = true},
        {.name = L"Add", .get = &RecipientsObject::Add, .params = {L"Name"}},
        {.name = L"ResolveAll", .get = &RecipientsObject::ResolveAll},
        {.name = L"_NewEnum", .get = &RecipientsObject::NewEnum},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"Recipients"; }

 private:
  Variant Count(Arguments&) {
    return Variant::Int(static_cast<long>(mail_->recipients().names().size()));
  }
  Variant Item(Arguments& args) {
    const auto& names = mail_->recipients().names();
    return ObjectResult(
        MakeCom<RecipientObject>(shared_context(), names[CheckedIndex(args.Int(0), names.size())]));
  }
  Variant Add(Arguments& args) {
    std::wstring name = args.Text(0);
    if (name.empty()) Raise(E_INVALIDARG, L"A recipient needs a name.");
    mail_->recipients().Add(name);
    return ObjectResult(MakeCom<RecipientObject>(shared_context(), std::move(name)));
  }
  // Every recipient of the stand-in resolves: an address is its own entry.
  Variant ResolveAll(Arguments&) { return Variant::Bool(true); }
  Variant NewEnum(Arguments&) {
    const ComPtr<MailItemObject> mail = mail_;
    const std::shared_ptr<HostContext> context = shared_context();
    return EnumerationResult([mail, context](std::size_t i) -> std::optional<Variant> {
      const auto& names = mail->recipients().names();
      if (i >= names.size()) return std::nullopt;
      return ObjectResult(MakeCom<RecipientObject>(context, names[i]));
    });
  }

  ComPtr<MailItemObject> mail_;
};

class ItemsObject final : public DispatchImpl<ItemsObject> {
 public:
  ItemsObject(std::shared_ptr<HostContext> context, const std::vector<OutlookItem>& items)
      : DispatchImpl(std::move(context)), items_(items) {}
  static const MemberTable<ItemsObject>& Members() {
    static const MemberTable<ItemsObject> table = {
        {.name = L"Count", .get = &ItemsObject::Count},
        {.name = L"Item", .get = &ItemsObject::Item, .params = {L"Index"}, .is_default = true},
        {.name = L"GetFirst", .get = &ItemsObject::GetFirst},
        {.name = L"GetNext", .get = &ItemsObject::GetNext},
        {.name = L"_NewEnum", .get = &ItemsObject::NewEnum},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"Items"; }

 private:
  Variant Count(Arguments&) { return Variant::Int(static_cast<long>(items_.size())); }
  Variant Item(Arguments& args) {
    return ItemResult(shared_context(), items_[CheckedIndex(args.Int(0), items_.size())]);
  }
  Variant GetFirst(Arguments&) {
    cursor_ = 0;
    return Current();
  }
  Variant GetNext(Arguments&) {
    if (cursor_ < items_.size()) ++cursor_;
    return Current();
  }
  Variant Current() {
    return cursor_ < items_.size() ? ItemResult(shared_context(), items_[cursor_])
                                   : Variant::Object(nullptr);
  }
  Variant NewEnum(Arguments&) {
    const std::shared_ptr<HostContext> context = shared_context();
    const std::vector<OutlookItem>* items = &items_;
    return EnumerationResult([context, items](std::size_t i) -> std::optional<Variant> {
      if (i >= items->size()) return std::nullopt;
      return ItemResult(context, (*items)[i]);
    });
  }

  const std::vector<OutlookItem>& items_;
  std::size_t cursor_ = 0;
};

Variant FolderResult(const std::shared_ptr<HostContext>& context, const Folder& folder);

class FoldersObject final : public DispatchImpl<FoldersObject> {
 public:
  FoldersObject(std::shared_ptr<HostContext> context, const std::vector<Folder>& folders)
      : DispatchImpl(std::move(context)), folders_(folders) {}
  static const MemberTable<FoldersObject>& Members() {
    static const MemberTable<FoldersObject> table = {
        {.name = L"Count", .get = &FoldersObject::Count},
        {.name = L"Item", .get = &FoldersObject::Item, .params = {L"Index"}, .is_default = true},
        {.name = L"GetFirst", .get = &FoldersObject::GetFirst},
        {.name = L"GetNext", .get = &FoldersObject::GetNext},
        {.name = L"_NewEnum", .get = &FoldersObject::NewEnum},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"Folders"; }

 private:
  Variant Count(Arguments&) { return Variant::Int(static_cast<long>(folders_.size())); }
  Variant Item(Arguments& args) {
    // Outlook takes a position from 1 or a folder name.
    if (V_VT(&args.Value(0)) == VT_BSTR) {
      const std::wstring name = args.Text(0);
      for (const Folder& folder : folders_) {
        if (folder.name == name) return FolderResult(shared_context(), folder);
      }
      Raise(kMapiNotFound, L"The folder \"" + name + L"\" cannot be found.");
    }
    return FolderResult(shared_context(), folders_[CheckedIndex(args.Int(0), folders_.size())]);
  }
  Variant GetFirst(Arguments&) {
    cursor_ = 0;
    return Current();
  }
  Variant GetNext(Arguments&) {
    if (cursor_ < folders_.size()) ++cursor_;
    return Current();
  }
  Variant Current() {
    return cursor_ < folders_.size() ? FolderResult(shared_context(), folders_[cursor_])
                                     : Variant::Object(nullptr);
  }
  Variant NewEnum(Arguments&) {
    const std::shared_ptr<HostContext> context = shared_context();
    const std::vector<Folder>* folders = &folders_;
    return EnumerationResult([context, folders](std::size_t i) -> std::optional<Variant> {
      if (i >= folders->size()) return std::nullopt;
      return FolderResult(context, (*folders)[i]);
    });
  }

  const std::vector<Folder>& folders_;
  std::size_t cursor_ = 0;
};

class FolderObject final : public DispatchImpl<FolderObject> {
 public:
  FolderObject(std::shared_ptr<HostContext> context, const Folder& folder)
      : DispatchImpl(std::move(context)), folder_(folder) {}
  static const MemberTable<FolderObject>& Members() {
    static const MemberTable<FolderObject> table = {
        {.name = L"Name", .get = &FolderObject::Name, .is_default = true},
        {.name = L"DefaultItemType", .get = &FolderObject::DefaultItemType},
        {.name = L"Folders", .get = &FolderObject::Folders},
        {.name = L"Items", .get = &FolderObject::Items},
        {.name = L"GetTable",
         .get = &FolderObject::GetTable,
         .params = {L"Filter", L"TableContents"}},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"MAPIFolder"; }
  bool Offers(std::wstring_view member) const override {
    return member != L"GetTable" || context().tables;
  }

 private:
  Variant Name(Arguments&) { return Variant::Text(folder_.name); }
  Variant DefaultItemType(Arguments&) { return Variant::Int(folder_.default_item_type); }
  Variant Folders(Arguments&) {
    if (folder_.failing) {
      Raise(kMapiCallFailed, L"Cannot open the folders below \"" + folder_.name +
                                 L"\". The folder is not available.");
    }
    return ObjectResult(MakeCom<FoldersObject>(shared_context(), folder_.folders));
  }
  Variant Items(Arguments&) {
    return ObjectResult(MakeCom<ItemsObject>(shared_context(), folder_.items));
  }
  Variant GetTable(Arguments& args) { return FolderTableResult(shared_context(), folder_, args); }

  const Folder& folder_;
};

Variant FolderResult(const std::shared_ptr<HostContext>& context, const Folder& folder) {
  return ObjectResult(MakeCom<FolderObject>(context, folder));
}

class NamespaceObject final : public DispatchImpl<NamespaceObject> {
 public:
  using DispatchImpl::DispatchImpl;
  static const MemberTable<NamespaceObject>& Members() {
    static const MemberTable<NamespaceObject> table = {
        {.name = L"CurrentUser", .get = &NamespaceObject::CurrentUser},
        {.name = L"Folders", .get = &NamespaceObject::Folders},
        {.name = L"GetItemFromID",
         .get = &NamespaceObject::GetItemFromID,
         .params = {L"EntryIDItem", L"EntryIDStore"}},
        {.name = L"Type", .get = &NamespaceObject::Type},
        {.name = L"AddressLists", .get = &NamespaceObject::AddressLists},
        {.name = L"SendAndReceive",
         .get = &NamespaceObject::SendAndReceive,
         .params = {L"showProgressDialog"}},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"NameSpace"; }

 private:
  Variant CurrentUser(Arguments&) {
    return ObjectResult(MakeCom<RecipientObject>(shared_context(), context().book->current_user));
  }
  Variant Folders(Arguments&) {
    return ObjectResult(MakeCom<FoldersObject>(shared_context(), context().book->stores));
  }
  Variant GetItemFromID(Arguments& args) {
    const std::wstring entry_id = args.Text(0);
    args.OptionalText(1);  // the store is found from the item's own ID
    const OutlookItem* item = context().book->FindItem(entry_id);
    if (item == nullptr) {
      Raise(kMapiNotFound,
            L"The operation failed. An object could not be found. (entry ID " + entry_id + L")");
    }
    return ItemResult(shared_context(), *item);
  }
  Variant Type(Arguments&) { return Variant::Text(L"MAPI"); }
  Variant AddressLists(Arguments&) { return OutlookAddressListsResult(shared_context()); }
  // Delivers the outbox as Redemption's DeliverNow does.
  Variant SendAndReceive(Arguments& args) {
    RequireOutlook2007(context(), L"NameSpace.SendAndReceive");
    args.Bool(0);
    if (context().outbox.DeliverAll() > 0) context().OutboxChanged();
    return {};
  }
};

// COM interfaces have no virtual destructor: objects end through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// The explorer also answers IOleWindow with the host's window, as Outlook's
// explorers and inspectors do.
class ExplorerObject final : public DispatchImpl<ExplorerObject>, public IOleWindow {
 public:
  ExplorerObject(std::shared_ptr<HostContext> context, ComPtr<CommandBarsObject> bars)
      : DispatchImpl(std::move(context)), bars_(std::move(bars)) {}
  static const MemberTable<ExplorerObject>& Members() {
    static const MemberTable<ExplorerObject> table = {
        {.name = L"CommandBars", .get = &ExplorerObject::CommandBars},
        {.name = L"Caption", .get = &ExplorerObject::Caption},
        {.name = L"Class", .get = &ExplorerObject::Class},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"Explorer"; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return DispatchObject::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = static_cast<HWND>(context().explorer_window);
    return *window != nullptr ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  IUnknown* QueryOther(REFIID iid) override {
    if (iid != IID_IOleWindow) return nullptr;
    AddRef();
    return static_cast<IOleWindow*>(this);
  }
  Variant CommandBars(Arguments&) { return ObjectResult(bars_); }
  Variant Caption(Arguments&) { return Variant::Text(L"Inbox - Microsoft Outlook"); }
  Variant Class(Arguments&) { return Variant::Int(kOlExplorerClass); }

  ComPtr<CommandBarsObject> bars_;
};
#pragma GCC diagnostic pop

}  // namespace

// --- items ------------------------------------------------------------------------

Variant ItemResult(const std::shared_ptr<HostContext>& context, const OutlookItem& item) {
  switch (item.kind) {
    case OutlookItem::Kind::Contact:
      return ObjectResult(MakeCom<ContactItemObject>(context, item));
    case OutlookItem::Kind::DistList:
      return ObjectResult(MakeCom<DistListItemObject>(context, item));
    case OutlookItem::Kind::Mail:
      break;
  }
  return ObjectResult(MakeCom<StoredMailObject>(context, item));
}

const MemberTable<ContactItemObject>& ContactItemObject::Members() {
  static const MemberTable<ContactItemObject> table = {
      {.name = L"Class", .get = &ContactItemObject::Class},
      {.name = L"MessageClass", .get = &ContactItemObject::MessageClass},
      {.name = L"EntryID", .get = &ContactItemObject::EntryID},
      {.name = L"FileAs", .get = &ContactItemObject::FileAs},
      {.name = L"FullName", .get = &ContactItemObject::FullName},
      {.name = L"MobileTelephoneNumber", .get = &ContactItemObject::MobileTelephoneNumber},
  };
  return table;
}
Variant ContactItemObject::Class(Arguments&) { return Variant::Int(kClassContact); }
Variant ContactItemObject::MessageClass(Arguments&) { return Variant::Text(L"IPM.Contact"); }
Variant ContactItemObject::EntryID(Arguments&) { return Variant::Text(item_.entry_id); }
Variant ContactItemObject::FileAs(Arguments&) { return Variant::Text(item_.file_as); }
Variant ContactItemObject::FullName(Arguments&) { return Variant::Text(item_.full_name); }
Variant ContactItemObject::MobileTelephoneNumber(Arguments&) { return Variant::Text(item_.mobile); }

const MemberTable<DistListItemObject>& DistListItemObject::Members() {
  static const MemberTable<DistListItemObject> table = {
      {.name = L"Class", .get = &DistListItemObject::Class},
      {.name = L"MessageClass", .get = &DistListItemObject::MessageClass},
      {.name = L"EntryID", .get = &DistListItemObject::EntryID},
      {.name = L"DLName", .get = &DistListItemObject::DLName},
      {.name = L"MemberCount", .get = &DistListItemObject::MemberCount},
      {.name = L"GetMember", .get = &DistListItemObject::GetMember, .params = {L"Index"}},
  };
  return table;
}
Variant DistListItemObject::Class(Arguments&) { return Variant::Int(kClassDistList); }
Variant DistListItemObject::MessageClass(Arguments&) { return Variant::Text(L"IPM.DistList"); }
Variant DistListItemObject::EntryID(Arguments&) { return Variant::Text(item_.entry_id); }
Variant DistListItemObject::DLName(Arguments&) { return Variant::Text(item_.dl_name); }
Variant DistListItemObject::MemberCount(Arguments&) {
  return Variant::Int(static_cast<long>(item_.members.size()));
}
Variant DistListItemObject::GetMember(Arguments& args) {
  return DistListMemberResult(shared_context(),
                              item_.members[CheckedIndex(args.Int(0), item_.members.size())]);
}

const MemberTable<StoredMailObject>& StoredMailObject::Members() {
  static const MemberTable<StoredMailObject> table = {
      {.name = L"Class", .get = &StoredMailObject::Class},
      {.name = L"MessageClass", .get = &StoredMailObject::MessageClass},
      {.name = L"EntryID", .get = &StoredMailObject::EntryID},
      {.name = L"Subject", .get = &StoredMailObject::Subject},
  };
  return table;
}
Variant StoredMailObject::Class(Arguments&) { return Variant::Int(kClassMail); }
Variant StoredMailObject::MessageClass(Arguments&) { return Variant::Text(L"IPM.Note"); }
Variant StoredMailObject::EntryID(Arguments&) { return Variant::Text(item_.entry_id); }
Variant StoredMailObject::Subject(Arguments&) { return Variant::Text(item_.subject); }

// --- new mail items -------------------------------------------------------------

const MemberTable<MailItemObject>& MailItemObject::Members() {
  static const MemberTable<MailItemObject> table = {
      {.name = L"Class", .get = &MailItemObject::Class},
      {.name = L"To", .get = &MailItemObject::GetTo, .put = &MailItemObject::PutTo},
      {.name = L"Subject", .get = &MailItemObject::GetSubject, .put = &MailItemObject::PutSubject},
      {.name = L"Body", .get = &MailItemObject::GetBody, .put = &MailItemObject::PutBody},
      {.name = L"Recipients", .get = &MailItemObject::Recipients},
      {.name = L"Save", .get = &MailItemObject::Save},
      {.name = L"Send", .get = &MailItemObject::Send},
      {.name = L"Saved", .get = &MailItemObject::Saved},
      {.name = L"Sent", .get = &MailItemObject::Sent},
  };
  return table;
}

void MailItemObject::Submit() {
  if (sent_) Raise(kMapiObjectDeleted, L"The item has been moved or deleted.");
  try {
    context().outbox.Submit(recipients_, subject, body);
  } catch (const MailError& error) {
    Raise(E_INVALIDARG, tools::Utf8ToWide(error.what()));
  }
  sent_ = true;
  context().OutboxChanged();
}

Variant MailItemObject::Class(Arguments&) { return Variant::Int(kClassMail); }
Variant MailItemObject::GetTo(Arguments&) { return Variant::Text(recipients_.To()); }
void MailItemObject::PutTo(Arguments& args) { recipients_.SetTo(args.PutText()); }
Variant MailItemObject::GetSubject(Arguments&) { return Variant::Text(subject); }
void MailItemObject::PutSubject(Arguments& args) { subject = args.PutText(); }
Variant MailItemObject::GetBody(Arguments&) { return Variant::Text(body); }
void MailItemObject::PutBody(Arguments& args) { body = args.PutText(); }
Variant MailItemObject::Recipients(Arguments&) {
  return RecipientsResult(ComPtr<MailItemObject>(this));
}

Variant RecipientsResult(const ComPtr<MailItemObject>& mail) {
  return ObjectResult(MakeCom<RecipientsObject>(mail));
}
Variant MailItemObject::Save(Arguments&) {
  if (sent_) Raise(kMapiObjectDeleted, L"The item has been moved or deleted.");
  saved_ = true;
  return {};
}
Variant MailItemObject::Send(Arguments&) {
  Submit();
  return {};
}
Variant MailItemObject::Saved(Arguments&) { return Variant::Bool(saved_); }
Variant MailItemObject::Sent(Arguments&) { return Variant::Bool(sent_); }

// --- application ------------------------------------------------------------------

ApplicationObject::ApplicationObject(std::shared_ptr<HostContext> context,
                                     ComPtr<CommandBarsObject> bars)
    : DispatchImpl(std::move(context)),
      events_(this->context(), kIidApplicationEvents11, L"Application") {
  namespace_ = MakeCom<NamespaceObject>(shared_context());
  explorer_ = MakeCom<ExplorerObject>(shared_context(), std::move(bars));
}

IUnknown* ApplicationObject::QueryOther(REFIID iid) {
  if (iid != IID_IConnectionPointContainer) return nullptr;
  AddRef();
  return static_cast<IConnectionPointContainer*>(this);
}

HRESULT ApplicationObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT ApplicationObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  context().NoteCall(TypeName(), L"FindConnectionPoint");
  return events_.Find(this, iid, point);
}

void ApplicationObject::RaiseQuit() {
  // A sink may release the application while Quit goes round.
  const ComPtr<ApplicationObject> self(this);
  events_.Raise(kDispidApplicationQuit);
}

const MemberTable<ApplicationObject>& ApplicationObject::Members() {
  static const MemberTable<ApplicationObject> table = {
      {.name = L"GetNamespace", .get = &ApplicationObject::GetNamespace, .params = {L"Type"}},
      {.name = L"Session", .get = &ApplicationObject::Session},
      {.name = L"CreateItem", .get = &ApplicationObject::CreateItem, .params = {L"ItemType"}},
      {.name = L"ActiveExplorer", .get = &ApplicationObject::ActiveExplorer},
      {.name = L"Name", .get = &ApplicationObject::Name, .is_default = true},
      {.name = L"Version", .get = &ApplicationObject::Version},
  };
  return table;
}

Variant ApplicationObject::GetNamespace(Arguments& args) {
  std::wstring type = args.Text(0);
  std::transform(type.begin(), type.end(), type.begin(), [](wchar_t ch) {
    return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(ch)));
  });
  if (type != L"MAPI") Raise(E_INVALIDARG, L"Outlook offers only the \"MAPI\" namespace.");
  return Variant::Object(namespace_.Get());
}

Variant ApplicationObject::Session(Arguments&) { return Variant::Object(namespace_.Get()); }

Variant ApplicationObject::CreateItem(Arguments& args) {
  if (args.Int(0) != kItemTypeMail) {
    Raise(E_INVALIDARG, L"This Outlook creates mail items (type 0) only.");
  }
  return ObjectResult(MakeCom<MailItemObject>(shared_context()));
}

Variant ApplicationObject::ActiveExplorer(Arguments&) {
  return Variant::Object(context().explorer ? explorer_.Get() : nullptr);
}

Variant ApplicationObject::Name(Arguments&) { return Variant::Text(L"Outlook"); }

Variant ApplicationObject::Version(Arguments&) {
  return Variant::Text(std::to_wstring(context().outlook_version) + L".0.0.6423");
}

}  // namespace parvel::standin
