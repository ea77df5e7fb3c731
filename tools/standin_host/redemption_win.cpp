#include "standin_host/redemption_win.h"

#include <oleauto.h>

#include <algorithm>
#include <cwctype>

#include "com/com_object_win.h"
#include "standin_host/host_context.h"
#include "standin_host/outlook_objects_win.h"

namespace parvel::standin {
namespace {

constexpr std::uint32_t kPrMobileTelephoneNumberA = 0x3A1C001E;
constexpr std::uint32_t kPrMobileTelephoneNumberW = 0x3A1C001F;
constexpr std::uint32_t kPrDisplayNameA = 0x3001001E;
constexpr std::uint32_t kPrDisplayNameW = 0x3001001F;
constexpr std::uint16_t kDistListMembersType = 0x1102;
constexpr std::uint32_t kPrEntryId = 0x0FFF0102;
constexpr std::uint32_t kPrDisplayType = 0x39000003;

// The stand-in's own class identifiers for the Redemption classes.
constexpr CLSID kClsids[] = {
    {0x5d3c9a10, 0x6c2e, 0x4f0b, {0x8a, 0x41, 0x2e, 0x90, 0x17, 0xc4, 0x3b, 0x01}},
    {0x5d3c9a10, 0x6c2e, 0x4f0b, {0x8a, 0x41, 0x2e, 0x90, 0x17, 0xc4, 0x3b, 0x02}},
    {0x5d3c9a10, 0x6c2e, 0x4f0b, {0x8a, 0x41, 0x2e, 0x90, 0x17, 0xc4, 0x3b, 0x03}},
    {0x5d3c9a10, 0x6c2e, 0x4f0b, {0x8a, 0x41, 0x2e, 0x90, 0x17, 0xc4, 0x3b, 0x04}},
    {0x5d3c9a10, 0x6c2e, 0x4f0b, {0x8a, 0x41, 0x2e, 0x90, 0x17, 0xc4, 0x3b, 0x05}}};

bool SameName(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return std::towlower(static_cast<std::wint_t>(x)) == std::towlower(static_cast<std::wint_t>(y));
  });
}

// A property tag argument: VB passes tags above 0x7FFFFFFF as negative longs.
std::uint32_t TagArgument(const Arguments& args, std::size_t index) {
  const VARIANT& value = args.Value(index);
  switch (V_VT(&value)) {
    case VT_UI4:
      return V_UI4(&value);
    case VT_I8:
      return static_cast<std::uint32_t>(V_I8(&value));
    case VT_UI8:
      return static_cast<std::uint32_t>(V_UI8(&value));
    case VT_R8:
      return static_cast<std::uint32_t>(static_cast<std::int64_t>(V_R8(&value)));
    default:
      return static_cast<std::uint32_t>(args.Int(index));
  }
}

// The position of Item(index) in a collection of count that counts from
// base; an index out of range raises as Redemption does.
std::size_t CheckedIndex(long index, int base, std::size_t count) {
  const long last = static_cast<long>(count) - 1 + base;
  if (index < base || index > last) {
    Raise(DISP_E_BADINDEX, L"Index " + std::to_wstring(index) + L" is out of range " +
                               std::to_wstring(base) + L" to " + std::to_wstring(last) + L".");
  }
  return static_cast<std::size_t>(index - base);
}

std::vector<std::uint8_t> ByteArgument(const Arguments& args, std::size_t index) {
  const VARIANT& value = args.Value(index);
  if ((V_VT(&value) & VT_ARRAY) == 0)
    Raise(DISP_E_TYPEMISMATCH, L"HrArrayToString needs an array of bytes.");
  SAFEARRAY* array = (V_VT(&value) & VT_BYREF) != 0 ? *V_ARRAYREF(&value) : V_ARRAY(&value);
  if (array == nullptr || SafeArrayGetDim(array) != 1) return {};
  LONG low = 0;
  LONG high = -1;
  SafeArrayGetLBound(array, 1, &low);
  SafeArrayGetUBound(array, 1, &high);
  std::vector<std::uint8_t> bytes;
  const VARTYPE element = V_VT(&value) & VT_TYPEMASK;
  for (LONG i = low; i <= high; ++i) {
    if (element == VT_UI1) {
      std::uint8_t byte = 0;
      SafeArrayGetElement(array, &i, &byte);
      bytes.push_back(byte);
    } else if (element == VT_VARIANT) {
      VARIANT item;
      VariantInit(&item);
      SafeArrayGetElement(array, &i, &item);
      VARIANT number;
      VariantInit(&number);
      const HRESULT converted = VariantChangeType(&number, &item, 0, VT_UI1);
      VariantClear(&item);
      if (FAILED(converted))
        Raise(DISP_E_TYPEMISMATCH, L"HrArrayToString needs an array of bytes.");
      bytes.push_back(V_UI1(&number));
    } else {
      Raise(DISP_E_TYPEMISMATCH, L"HrArrayToString needs an array of bytes.");
    }
  }
  return bytes;
}

template <typename T>
class RedemptionObject : public DispatchImpl<T> {
 protected:
  using DispatchImpl<T>::DispatchImpl;

 private:
  std::wstring_view Source() const override { return L"Redemption"; }
};

class SafeMailItemObject final : public RedemptionObject<SafeMailItemObject> {
 public:
  using RedemptionObject::RedemptionObject;
  static const MemberTable<SafeMailItemObject>& Members() {
    using S = SafeMailItemObject;
    static const MemberTable<S> table = {
        {.name = L"Item", .get = &S::GetItem, .put = &S::PutItem},
        {.name = L"To", .get = &S::GetTo, .put = &S::PutTo},
        {.name = L"Recipients", .get = &S::Recipients},
        {.name = L"Subject", .get = &S::GetSubject, .put = &S::PutSubject},
        {.name = L"Body", .get = &S::GetBody, .put = &S::PutBody},
        {.name = L"Save", .get = &S::Save},
        {.name = L"Send", .get = &S::Send},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"SafeMailItem"; }

 private:
  MailItemObject& Mail() const {
    if (!mail_) Raise(E_FAIL, L"The Item property is not set.");
    return *mail_.Get();
  }
  Variant GetItem(Arguments&) { return ObjectResult(mail_); }
  void PutItem(Arguments& args) {
    const ComPtr<IDispatch> item = args.PutObject();
    ComPtr<MailItemObject> mail = HostObject<MailItemObject>(item.Get());
    if (!mail) Raise(E_INVALIDARG, L"Item must be a mail item of this Outlook.");
    mail_ = std::move(mail);
  }
  Variant GetTo(Arguments&) { return Variant::Text(Mail().recipients().To()); }
  void PutTo(Arguments& args) { Mail().recipients().SetTo(args.PutText()); }
  Variant Recipients(Arguments&) {
    Mail();
    return RecipientsResult(mail_);
  }
  Variant GetSubject(Arguments&) { return Variant::Text(Mail().subject); }
  void PutSubject(Arguments& args) { Mail().subject = args.PutText(); }
  Variant GetBody(Arguments&) { return Variant::Text(Mail().body); }
  void PutBody(Arguments& args) { Mail().body = args.PutText(); }
  Variant Save(Arguments&) {
    Mail().MarkSaved();
    return {};
  }
  Variant Send(Arguments&) {
    Mail().Submit();
    return {};
  }

  ComPtr<MailItemObject> mail_;
};

class MapiUtilsObject final : public RedemptionObject<MapiUtilsObject> {
 public:
  using RedemptionObject::RedemptionObject;
  static const MemberTable<MapiUtilsObject>& Members() {
    using M = MapiUtilsObject;
    static const MemberTable<M> table = {
        {.name = L"DeliverNow", .get = &M::DeliverNow, .params = {L"Flags", L"ParentWndHandle"}},
        {.name = L"Cleanup", .get = &M::Cleanup},
        {.name = L"HrArrayToString", .get = &M::HrArrayToString, .params = {L"Value"}},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"MAPIUtils"; }

 private:
  Variant DeliverNow(Arguments& args) {
    args.OptionalInt(0);
    args.OptionalInt(1);
    if (context().outbox.DeliverAll() > 0) context().OutboxChanged();
    return {};
  }
  Variant Cleanup(Arguments&) { return {}; }
  Variant HrArrayToString(Arguments& args) {
    return Variant::Text(BytesToHex(ByteArgument(args, 0)));
  }
};

Variant EntriesResult(const std::shared_ptr<HostContext>& context,
                      const std::vector<const AddressEntry*>& entries);

class AddressEntryObject final : public RedemptionObject<AddressEntryObject> {
 public:
  AddressEntryObject(std::shared_ptr<HostContext> context, const AddressEntry& entry)
      : RedemptionObject(std::move(context)), entry_(entry) {}
  static const MemberTable<AddressEntryObject>& Members() {
    using A = AddressEntryObject;
    static const MemberTable<A> table = {
        {.name = L"Name", .get = &A::Name, .is_default = true},
        {.name = L"ID", .get = &A::ID},
        {.name = L"DisplayType", .get = &A::DisplayType},
        {.name = L"Fields", .get = &A::Fields, .params = {L"PropTag"}},
        {.name = L"Members", .get = &A::Members},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressEntry"; }

 private:
  Variant Name(Arguments&) { return Variant::Text(entry_.name); }
  Variant ID(Arguments&) { return Variant::Text(entry_.id); }
  Variant DisplayType(Arguments&) { return Variant::Int(entry_.display_type); }
  Variant Fields(Arguments& args) {
    switch (TagArgument(args, 0)) {
      case kPrMobileTelephoneNumberA:
      case kPrMobileTelephoneNumberW:
        return entry_.mobile ? Variant::Text(*entry_.mobile) : Variant::Null();
      case kPrDisplayNameA:
      case kPrDisplayNameW:
        return Variant::Text(entry_.name);
      default:
        return {};
    }
  }
  Variant Members(Arguments&) {
    if (entry_.display_type != 1) return Variant::Object(nullptr);
    return EntriesResult(shared_context(), entry_.members);
  }

  const AddressEntry& entry_;
};

class AddressEntriesObject final : public RedemptionObject<AddressEntriesObject> {
 public:
  AddressEntriesObject(std::shared_ptr<HostContext> context,
                       const std::vector<const AddressEntry*>& entries)
      : RedemptionObject(std::move(context)), entries_(entries) {}
  static const MemberTable<AddressEntriesObject>& Members() {
    using A = AddressEntriesObject;
    static const MemberTable<A> table = {
        {.name = L"Count", .get = &A::Count},
        {.name = L"Item", .get = &A::Item, .params = {L"Index"}, .is_default = true},
        {.name = L"GetFirst", .get = &A::GetFirst},
        {.name = L"GetNext", .get = &A::GetNext},
        {.name = L"_NewEnum", .get = &A::NewEnum},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressEntries"; }

 private:
  Variant Entry(std::size_t index) {
    return ObjectResult(MakeCom<AddressEntryObject>(shared_context(), *entries_[index]));
  }
  Variant Count(Arguments&) { return Variant::Int(static_cast<long>(entries_.size())); }
  Variant Item(Arguments& args) {
    return Entry(CheckedIndex(args.Int(0), context().redemption_base, entries_.size()));
  }
  Variant GetFirst(Arguments&) {
    cursor_ = 0;
    return cursor_ < entries_.size() ? Entry(cursor_) : Variant::Object(nullptr);
  }
  Variant GetNext(Arguments&) {
    if (cursor_ < entries_.size()) ++cursor_;
    return cursor_ < entries_.size() ? Entry(cursor_) : Variant::Object(nullptr);
  }
  Variant NewEnum(Arguments&) {
    const std::shared_ptr<HostContext> context = shared_context();
    const std::vector<const AddressEntry*>* entries = &entries_;
    return EnumerationResult([context, entries](std::size_t i) -> std::optional<Variant> {
      if (i >= entries->size()) return std::nullopt;
      return ObjectResult(MakeCom<AddressEntryObject>(context, *(*entries)[i]));
    });
  }

  const std::vector<const AddressEntry*>& entries_;
  std::size_t cursor_ = 0;

 public:
  const std::vector<const AddressEntry*>& entries() const { return entries_; }
};

// The tag of each column as VB hands it over: an array of Longs (or of
// Variants holding them) or a single tag.
std::vector<std::uint32_t> ColumnTags(const VARIANT& value) {
  const VARIANT* plain = &value;
  if (V_VT(plain) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(plain) != nullptr)
    plain = V_VARIANTREF(plain);
  std::vector<std::uint32_t> tags;
  if ((V_VT(plain) & VT_ARRAY) == 0) {
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(plain), 0, VT_I4)))
      Raise(DISP_E_TYPEMISMATCH, L"Columns takes an array of property tags.");
    tags.push_back(static_cast<std::uint32_t>(V_I4(&number)));
    return tags;
  }
  SAFEARRAY* array = (V_VT(plain) & VT_BYREF) != 0 ? *V_ARRAYREF(plain) : V_ARRAY(plain);
  if (array == nullptr || SafeArrayGetDim(array) != 1) return tags;
  LONG low = 0;
  LONG high = -1;
  SafeArrayGetLBound(array, 1, &low);
  SafeArrayGetUBound(array, 1, &high);
  for (LONG i = low; i <= high; ++i) {
    VARIANT element;
    VariantInit(&element);
    if ((V_VT(plain) & VT_TYPEMASK) == VT_VARIANT) {
      SafeArrayGetElement(array, &i, &element);
    } else if ((V_VT(plain) & VT_TYPEMASK) == VT_I4) {
      V_VT(&element) = VT_I4;
      SafeArrayGetElement(array, &i, &V_I4(&element));
    } else {
      Raise(DISP_E_TYPEMISMATCH, L"Columns takes an array of property tags.");
    }
    VARIANT number;
    VariantInit(&number);
    const HRESULT converted = VariantChangeType(&number, &element, 0, VT_I4);
    VariantClear(&element);
    if (FAILED(converted)) Raise(DISP_E_TYPEMISMATCH, L"Columns takes an array of property tags.");
    tags.push_back(static_cast<std::uint32_t>(V_I4(&number)));
  }
  return tags;
}

// Redemption's MAPITable over address entries: rows of the property tags in
// Columns, many per GetRows. Its arrays count from where the host's
// Redemption collections count.
class MapiTableObject final : public RedemptionObject<MapiTableObject> {
 public:
  using RedemptionObject::RedemptionObject;
  static const MemberTable<MapiTableObject>& Members() {
    using M = MapiTableObject;
    static const MemberTable<M> table = {
        {.name = L"Item", .get = &M::GetItem, .put = &M::PutItem},
        {.name = L"Columns", .get = &M::GetColumns, .put = &M::PutColumns},
        {.name = L"GoToFirst", .get = &M::GoToFirst},
        {.name = L"GetRows", .get = &M::GetRows, .params = {L"Count"}},
        {.name = L"RowCount", .get = &M::RowCount},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"MAPITable"; }

 private:
  const std::vector<const AddressEntry*>& Entries() const {
    if (!entries_) Raise(E_FAIL, L"The Item property is not set.");
    return entries_->entries();
  }
  Variant GetItem(Arguments&) { return ObjectResult(entries_); }
  void PutItem(Arguments& args) {
    const ComPtr<IDispatch> item = args.PutObject();
    ComPtr<AddressEntriesObject> entries = HostObject<AddressEntriesObject>(item.Get());
    if (!entries) Raise(E_INVALIDARG, L"Item must be an AddressEntries collection.");
    entries_ = std::move(entries);
    next_ = 0;
  }
  Variant GetColumns(Arguments&) {
    std::vector<Variant> tags;
    for (const std::uint32_t tag : columns_) tags.push_back(Variant::Int(static_cast<long>(tag)));
    return Variant::Array(std::move(tags));
  }
  void PutColumns(Arguments& args) { columns_ = ColumnTags(args.PutValue()); }
  Variant GoToFirst(Arguments&) {
    next_ = 0;
    return {};
  }
  Variant RowCount(Arguments&) { return Variant::Int(static_cast<long>(Entries().size())); }
  // Fewer rows than asked near the end, Empty after the last.
  Variant GetRows(Arguments& args) {
    const long most = args.Int(0);
    if (most < 1) Raise(E_INVALIDARG, L"Count must be at least 1.");
    if (columns_.empty()) Raise(E_FAIL, L"The Columns property is not set.");
    const std::vector<const AddressEntry*>& entries = Entries();
    std::vector<std::vector<Variant>> rows;
    for (; next_ < entries.size() && rows.size() < static_cast<std::size_t>(most); ++next_) {
      std::vector<Variant>& row = rows.emplace_back();
      for (const std::uint32_t tag : columns_) row.push_back(Cell(*entries[next_], tag));
    }
    if (rows.empty()) return {};
    return Variant::Rows(rows, columns_.size(), context().redemption_base);
  }
  static Variant Cell(const AddressEntry& entry, std::uint32_t tag) {
    switch (tag) {
      case kPrDisplayType:
        return Variant::Int(entry.display_type);
      case kPrDisplayNameA:
      case kPrDisplayNameW:
        return Variant::Text(entry.name);
      case kPrEntryId:
        return Variant::Bytes(HexToBytes(entry.id));
      case kPrMobileTelephoneNumberA:
      case kPrMobileTelephoneNumberW:
        return entry.mobile ? Variant::Text(*entry.mobile) : Variant::Null();
      default:
        return {};
    }
  }

  ComPtr<AddressEntriesObject> entries_;
  std::vector<std::uint32_t> columns_;
  std::size_t next_ = 0;
};

Variant EntriesResult(const std::shared_ptr<HostContext>& context,
                      const std::vector<const AddressEntry*>& entries) {
  return ObjectResult(MakeCom<AddressEntriesObject>(context, entries));
}

class AddressListObject final : public RedemptionObject<AddressListObject> {
 public:
  AddressListObject(std::shared_ptr<HostContext> context, const AddressList& list)
      : RedemptionObject(std::move(context)), list_(list) {}
  static const MemberTable<AddressListObject>& Members() {
    static const MemberTable<AddressListObject> table = {
        {.name = L"Name", .get = &AddressListObject::Name, .is_default = true},
        {.name = L"AddressEntries", .get = &AddressListObject::AddressEntries},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressList"; }

 private:
  Variant Name(Arguments&) { return Variant::Text(list_.name); }
  Variant AddressEntries(Arguments&) { return EntriesResult(shared_context(), list_.entries); }

  const AddressList& list_;
};

class AddressListsObject final : public RedemptionObject<AddressListsObject> {
 public:
  using RedemptionObject::RedemptionObject;
  static const MemberTable<AddressListsObject>& Members() {
    static const MemberTable<AddressListsObject> table = {
        {.name = L"Count", .get = &AddressListsObject::Count},
        {.name = L"Item",
         .get = &AddressListsObject::Item,
         .params = {L"Index"},
         .is_default = true},
        {.name = L"_NewEnum", .get = &AddressListsObject::NewEnum},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressLists"; }

 private:
  const std::vector<AddressList>& Lists() const { return context().book->address_lists; }
  Variant Count(Arguments&) { return Variant::Int(static_cast<long>(Lists().size())); }
  Variant Item(Arguments& args) {
    return ObjectResult(MakeCom<AddressListObject>(
        shared_context(),
        Lists()[CheckedIndex(args.Int(0), context().redemption_base, Lists().size())]));
  }
  Variant NewEnum(Arguments&) {
    const std::shared_ptr<HostContext> context = shared_context();
    return EnumerationResult([context](std::size_t i) -> std::optional<Variant> {
      if (i >= context->book->address_lists.size()) return std::nullopt;
      return ObjectResult(MakeCom<AddressListObject>(context, context->book->address_lists[i]));
    });
  }
};

class SafeDistListObject final : public RedemptionObject<SafeDistListObject> {
 public:
  using RedemptionObject::RedemptionObject;
  static const MemberTable<SafeDistListObject>& Members() {
    using S = SafeDistListObject;
    static const MemberTable<S> table = {
        {.name = L"Item", .get = &S::GetItem, .put = &S::PutItem},
        {.name = L"GetIDsFromNames",
         .get = &S::GetIDsFromNames,
         .params = {L"GUID", L"ID", L"bCreate"}},
        {.name = L"Fields", .get = &S::Fields, .params = {L"PropTag"}},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"SafeDistList"; }

 private:
  void Require() const {
    if (!item_) Raise(E_FAIL, L"The Item property is not set.");
  }
  Variant GetItem(Arguments&) { return Variant::Object(item_.Get()); }
  void PutItem(Arguments& args) {
    ComPtr<IDispatch> item = args.PutObject();
    if (!HostObject<DispatchObject>(item.Get()))
      Raise(E_INVALIDARG, L"Item must be an item of this Outlook.");
    list_ = HostObject<DistListItemObject>(item.Get());
    item_ = std::move(item);
  }
  Variant GetIDsFromNames(Arguments& args) {
    Require();
    const std::wstring guid = args.Text(0);
    args.OptionalBool(2);
    try {
      const std::uint32_t tag =
          V_VT(&args.Value(1)) == VT_BSTR
              ? context().named_properties.TagFor(guid, args.Text(1))
              : context().named_properties.TagFor(guid, static_cast<std::uint32_t>(args.Int(1)));
      return Variant::Int(static_cast<long>(tag));
    } catch (const std::invalid_argument&) {
      Raise(E_INVALIDARG, L"\"" + guid + L"\" is not a GUID.");
    }
  }
  Variant Fields(Arguments& args) {
    Require();
    const std::uint32_t tag = TagArgument(args, 0);
    const std::uint32_t members =
        context().named_properties.TagFor(kPsetidAddress, kDistListMembersId);
    if (list_ && tag == (members | kDistListMembersType)) {
      std::vector<Variant> entries;
      for (const DistListMember& member : list_->item().members) {
        entries.push_back(Variant::Bytes(MemberEntryBytes(member)));
      }
      return Variant::Array(std::move(entries));
    }
    return {};
  }

  ComPtr<IDispatch> item_;
  ComPtr<DistListItemObject> list_;
};

class ClassFactory final : public com::ComObject<ClassFactory, IClassFactory, false> {
 public:
  ClassFactory(std::shared_ptr<HostContext> context, std::wstring prog_id)
      : context_(std::move(context)), prog_id_(std::move(prog_id)) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (context_->failures.Contains(prog_id_)) return E_FAIL;
    try {
      const ComPtr<IDispatch> created = CreateRedemptionObject(context_, prog_id_);
      return created->QueryInterface(iid, object);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  std::shared_ptr<HostContext> context_;
  std::wstring prog_id_;
};

}  // namespace

ComPtr<IDispatch> CreateRedemptionObject(const std::shared_ptr<HostContext>& context,
                                         std::wstring_view prog_id) {
  if (SameName(prog_id, kRedemptionProgIds[0])) return MakeCom<SafeMailItemObject>(context);
  if (SameName(prog_id, kRedemptionProgIds[1])) return MakeCom<MapiUtilsObject>(context);
  if (SameName(prog_id, kRedemptionProgIds[2])) return MakeCom<AddressListsObject>(context);
  if (SameName(prog_id, kRedemptionProgIds[3])) return MakeCom<SafeDistListObject>(context);
  if (SameName(prog_id, kRedemptionProgIds[4]) && context->tables)
    return MakeCom<MapiTableObject>(context);
  return nullptr;
}

RedemptionServer::RedemptionServer(const std::shared_ptr<HostContext>& context, bool offer) {
  for (std::size_t i = 0; i < std::size(kRedemptionProgIds); ++i) {
    const std::wstring prog_id = kRedemptionProgIds[i];
    if (!offer || (prog_id == L"Redemption.MAPITable" && !context->tables)) {
      ClassRegistrations::RemoveLeftovers(prog_id);
      continue;
    }
    const ComPtr<ClassFactory> factory = ClassFactory::Make(context, prog_id);
    DWORD cookie = 0;
    if (factory && SUCCEEDED(CoRegisterClassObject(kClsids[i], factory.Get(), CLSCTX_INPROC_SERVER,
                                                   REGCLS_MULTIPLEUSE, &cookie))) {
      cookies_.push_back(cookie);
    }
    if (!registrations_.RegisterProgId(prog_id, kClsids[i])) problems_.push_back(prog_id);
  }
}

RedemptionServer::~RedemptionServer() {
  for (const DWORD cookie : cookies_) CoRevokeClassObject(cookie);
}

}  // namespace parvel::standin
