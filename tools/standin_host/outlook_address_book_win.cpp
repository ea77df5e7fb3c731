#include "standin_host/outlook_address_book_win.h"

#include <algorithm>
#include <cwctype>

#include "standin_host/host_context.h"
#include "standin_host/outlook_objects_win.h"

namespace parvel::standin {
namespace {

// OlAddressEntryUserType.
constexpr long kOlExchangeUserAddressEntry = 0;
constexpr long kOlExchangeDistributionListAddressEntry = 1;
constexpr long kOlOutlookContactAddressEntry = 10;
constexpr long kOlSmtpAddressEntry = 30;
constexpr int kDisplayTypeMailUser = 0;
constexpr int kDisplayTypeDistList = 1;
constexpr int kDisplayTypeRemoteMailUser = 6;
constexpr std::wstring_view kPropTagSchema = L"http://schemas.microsoft.com/mapi/proptag/0x";

std::size_t CheckedIndex(long index, std::size_t count) {
  if (index < 1 || static_cast<std::size_t>(index) > count) {
    Raise(DISP_E_BADINDEX, L"Array index out of bounds.");
  }
  return static_cast<std::size_t>(index - 1);
}

bool SameText(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return std::towlower(static_cast<std::wint_t>(x)) == std::towlower(static_cast<std::wint_t>(y));
  });
}

// The PropertyAccessor of an address entry: the mobile number and the
// display name by their property tags; any other property, or one the entry
// lacks, raises as Outlook does.
class PropertyAccessorObject final : public DispatchImpl<PropertyAccessorObject> {
 public:
  PropertyAccessorObject(std::shared_ptr<HostContext> context, const AddressEntry& entry)
      : DispatchImpl(std::move(context)), entry_(entry) {}
  static const MemberTable<PropertyAccessorObject>& Members() {
    static const MemberTable<PropertyAccessorObject> table = {
        {.name = L"GetProperty",
         .get = &PropertyAccessorObject::GetProperty,
         .params = {L"SchemaName"}},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"PropertyAccessor"; }

 private:
  Variant GetProperty(Arguments& args) {
    const std::wstring schema = args.Text(0);
    if (schema.size() == kPropTagSchema.size() + 8 &&
        SameText(std::wstring_view(schema).substr(0, kPropTagSchema.size()), kPropTagSchema)) {
      const std::wstring tag = schema.substr(kPropTagSchema.size());
      if ((SameText(tag, L"3A1C001F") || SameText(tag, L"3A1C001E")) && entry_.mobile) {
        return Variant::Text(*entry_.mobile);
      }
      if (SameText(tag, L"3001001F") || SameText(tag, L"3001001E")) {
        return Variant::Text(entry_.name);
      }
    }
    Raise(kMapiNotFound, L"The property \"" + schema + L"\" is unknown or cannot be found.");
  }

  const AddressEntry& entry_;
};

class ExchangeUserObject final : public DispatchImpl<ExchangeUserObject> {
 public:
  ExchangeUserObject(std::shared_ptr<HostContext> context, const AddressEntry& entry)
      : DispatchImpl(std::move(context)), entry_(entry) {}
  static const MemberTable<ExchangeUserObject>& Members() {
    static const MemberTable<ExchangeUserObject> table = {
        {.name = L"Name", .get = &ExchangeUserObject::Name, .is_default = true},
        {.name = L"MobileTelephoneNumber", .get = &ExchangeUserObject::Mobile},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"ExchangeUser"; }

 private:
  Variant Name(Arguments&) { return Variant::Text(entry_.name); }
  // An empty text where the directory holds none, as Outlook gives it.
  Variant Mobile(Arguments&) { return Variant::Text(entry_.mobile.value_or(L"")); }

  const AddressEntry& entry_;
};

Variant EntriesResult(const std::shared_ptr<HostContext>& context,
                      const std::vector<const AddressEntry*>& entries);

class OutlookAddressEntryObject final : public DispatchImpl<OutlookAddressEntryObject> {
 public:
  OutlookAddressEntryObject(std::shared_ptr<HostContext> context, const AddressEntry& entry)
      : DispatchImpl(std::move(context)), entry_(entry) {}
  static const MemberTable<OutlookAddressEntryObject>& Members() {
    using A = OutlookAddressEntryObject;
    static const MemberTable<A> table = {
        {.name = L"Name", .get = &A::Name, .is_default = true},
        {.name = L"ID", .get = &A::ID},
        {.name = L"DisplayType", .get = &A::DisplayType},
        {.name = L"AddressEntryUserType", .get = &A::UserType},
        {.name = L"Members", .get = &A::Members},
        {.name = L"GetExchangeUser", .get = &A::GetExchangeUser},
        {.name = L"PropertyAccessor", .get = &A::PropertyAccessor},
        {.name = L"GetContact", .get = &A::GetContact},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressEntry"; }

 private:
  // Users of the directory, local or remote (rooms too); not lists or public folders.
  bool ExchangeUser() const {
    return entry_.exchange && (entry_.display_type == kDisplayTypeMailUser ||
                               entry_.display_type == kDisplayTypeRemoteMailUser);
  }
  Variant Name(Arguments&) { return Variant::Text(entry_.name); }
  Variant ID(Arguments&) { return Variant::Text(entry_.id); }
  Variant DisplayType(Arguments&) { return Variant::Int(entry_.display_type); }
  Variant UserType(Arguments&) {
    if (!entry_.exchange) return Variant::Int(kOlSmtpAddressEntry);
    return Variant::Int(entry_.display_type == kDisplayTypeDistList
                            ? kOlExchangeDistributionListAddressEntry
                            : kOlExchangeUserAddressEntry);
  }
  Variant Members(Arguments&) {
    if (entry_.display_type != kDisplayTypeDistList) return Variant::Object(nullptr);
    return EntriesResult(shared_context(), entry_.members);
  }
  Variant GetExchangeUser(Arguments&) {
    RequireOutlook2007(context(), L"AddressEntry.GetExchangeUser");
    if (!ExchangeUser()) return Variant::Object(nullptr);
    return ObjectResult(MakeCom<ExchangeUserObject>(shared_context(), entry_));
  }
  Variant PropertyAccessor(Arguments&) {
    RequireOutlook2007(context(), L"AddressEntry.PropertyAccessor");
    return ObjectResult(MakeCom<PropertyAccessorObject>(shared_context(), entry_));
  }
  Variant GetContact(Arguments&) {
    RequireOutlook2007(context(), L"AddressEntry.GetContact");
    return Variant::Object(nullptr);
  }

  const AddressEntry& entry_;
};

class OutlookAddressEntriesObject final : public DispatchImpl<OutlookAddressEntriesObject> {
 public:
  OutlookAddressEntriesObject(std::shared_ptr<HostContext> context,
                              const std::vector<const AddressEntry*>& entries)
      : DispatchImpl(std::move(context)), entries_(entries) {}
  static const MemberTable<OutlookAddressEntriesObject>& Members() {
    using A = OutlookAddressEntriesObject;
    static const MemberTable<A> table = {
        {.name = L"Count", .get = &A::Count},
        {.name = L"Item", .get = &A::Item, .params = {L"Index"}, .is_default = true},
        {.name = L"GetFirst", .get = &A::GetFirst},
        {.name = L"GetNext", .get = &A::GetNext},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressEntries"; }

 private:
  Variant Entry(std::size_t index) {
    return ObjectResult(MakeCom<OutlookAddressEntryObject>(shared_context(), *entries_[index]));
  }
  Variant Count(Arguments&) { return Variant::Int(static_cast<long>(entries_.size())); }
  Variant Item(Arguments& args) { return Entry(CheckedIndex(args.Int(0), entries_.size())); }
  Variant GetFirst(Arguments&) {
    cursor_ = 0;
    return cursor_ < entries_.size() ? Entry(cursor_) : Variant::Object(nullptr);
  }
  Variant GetNext(Arguments&) {
    if (cursor_ < entries_.size()) ++cursor_;
    return cursor_ < entries_.size() ? Entry(cursor_) : Variant::Object(nullptr);
  }

  const std::vector<const AddressEntry*>& entries_;
  std::size_t cursor_ = 0;
};

Variant EntriesResult(const std::shared_ptr<HostContext>& context,
                      const std::vector<const AddressEntry*>& entries) {
  return ObjectResult(MakeCom<OutlookAddressEntriesObject>(context, entries));
}

class OutlookAddressListObject final : public DispatchImpl<OutlookAddressListObject> {
 public:
  OutlookAddressListObject(std::shared_ptr<HostContext> context, const AddressList& list)
      : DispatchImpl(std::move(context)), list_(list) {}
  static const MemberTable<OutlookAddressListObject>& Members() {
    using A = OutlookAddressListObject;
    static const MemberTable<A> table = {
        {.name = L"Name", .get = &A::Name, .is_default = true},
        {.name = L"AddressEntries", .get = &A::AddressEntries},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressList"; }

 private:
  Variant Name(Arguments&) { return Variant::Text(list_.name); }
  Variant AddressEntries(Arguments&) { return EntriesResult(shared_context(), list_.entries); }

  const AddressList& list_;
};

class OutlookAddressListsObject final : public DispatchImpl<OutlookAddressListsObject> {
 public:
  using DispatchImpl::DispatchImpl;
  static const MemberTable<OutlookAddressListsObject>& Members() {
    using A = OutlookAddressListsObject;
    static const MemberTable<A> table = {
        {.name = L"Count", .get = &A::Count},
        {.name = L"Item", .get = &A::Item, .params = {L"Index"}, .is_default = true},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressLists"; }

 private:
  const std::vector<AddressList>& Lists() const { return context().book->address_lists; }
  Variant Count(Arguments&) { return Variant::Int(static_cast<long>(Lists().size())); }
  Variant Item(Arguments& args) {
    return ObjectResult(MakeCom<OutlookAddressListObject>(
        shared_context(), Lists()[CheckedIndex(args.Int(0), Lists().size())]));
  }
};

// The address entry of a distribution list's member: a contact of a contact
// folder gives its ContactItem through GetContact; a plain address or another
// list gives Nothing.
class MemberEntryObject final : public DispatchImpl<MemberEntryObject> {
 public:
  MemberEntryObject(std::shared_ptr<HostContext> context, const DistListMember& member)
      : DispatchImpl(std::move(context)), member_(member) {}
  static const MemberTable<MemberEntryObject>& Members() {
    using M = MemberEntryObject;
    static const MemberTable<M> table = {
        {.name = L"Name", .get = &M::Name, .is_default = true},
        {.name = L"AddressEntryUserType", .get = &M::UserType},
        {.name = L"GetContact", .get = &M::GetContact},
        {.name = L"GetExchangeUser", .get = &M::Nothing},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"AddressEntry"; }

 private:
  const OutlookItem* Item() const {
    if (member_.kind == DistListMember::Kind::OneOff) return nullptr;
    return context().book->FindItem(member_.entry_id);
  }
  Variant Name(Arguments&) {
    const OutlookItem* item = Item();
    if (item == nullptr) return Variant::Text(member_.name);
    return Variant::Text(item->kind == OutlookItem::Kind::DistList ? item->dl_name
                                                                   : item->full_name);
  }
  Variant UserType(Arguments&) {
    return Variant::Int(member_.kind == DistListMember::Kind::OneOff
                            ? kOlSmtpAddressEntry
                            : kOlOutlookContactAddressEntry);
  }
  Variant GetContact(Arguments&) {
    RequireOutlook2007(context(), L"AddressEntry.GetContact");
    const OutlookItem* item = Item();
    if (member_.kind != DistListMember::Kind::Contact || item == nullptr ||
        item->kind != OutlookItem::Kind::Contact) {
      return Variant::Object(nullptr);
    }
    return ItemResult(shared_context(), *item);
  }
  Variant Nothing(Arguments&) {
    RequireOutlook2007(context(), L"AddressEntry.GetExchangeUser");
    return Variant::Object(nullptr);
  }

  const DistListMember& member_;
};

class MemberRecipientObject final : public DispatchImpl<MemberRecipientObject> {
 public:
  MemberRecipientObject(std::shared_ptr<HostContext> context, const DistListMember& member)
      : DispatchImpl(std::move(context)), member_(member) {}
  static const MemberTable<MemberRecipientObject>& Members() {
    using M = MemberRecipientObject;
    static const MemberTable<M> table = {
        {.name = L"AddressEntry", .get = &M::AddressEntry},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"Recipient"; }

 private:
  Variant AddressEntry(Arguments&) {
    return ObjectResult(MakeCom<MemberEntryObject>(shared_context(), member_));
  }

  const DistListMember& member_;
};

}  // namespace

void RequireOutlook2007(const HostContext& context, std::wstring_view member) {
  if (context.outlook_version < kFirstTrustedOutlook) {
    Raise(DISP_E_MEMBERNOTFOUND, L"This version of Outlook has no " + std::wstring(member) + L".");
  }
}

Variant OutlookAddressListsResult(const std::shared_ptr<HostContext>& context) {
  return ObjectResult(MakeCom<OutlookAddressListsObject>(context));
}

Variant DistListMemberResult(const std::shared_ptr<HostContext>& context,
                             const DistListMember& member) {
  return ObjectResult(MakeCom<MemberRecipientObject>(context, member));
}

}  // namespace parvel::standin
