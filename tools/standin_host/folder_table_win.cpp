#include "standin_host/folder_table_win.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "standin_host/host_context.h"

namespace parvel::standin {
namespace {

// The columns this stand-in can give, as Columns.Add names them.
enum class Column { EntryId, MessageClass, FileAs, MobileTelephoneNumber, Subject };

struct ColumnName {
  const wchar_t* name;
  Column column;
};
constexpr ColumnName kColumns[] = {{L"EntryID", Column::EntryId},
                                   {L"MessageClass", Column::MessageClass},
                                   {L"FileAs", Column::FileAs},
                                   {L"MobileTelephoneNumber", Column::MobileTelephoneNumber},
                                   {L"Subject", Column::Subject}};

bool SameName(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return std::towlower(static_cast<std::wint_t>(x)) == std::towlower(static_cast<std::wint_t>(y));
  });
}

const wchar_t* ClassOf(const OutlookItem& item) {
  switch (item.kind) {
    case OutlookItem::Kind::Contact:
      return L"IPM.Contact";
    case OutlookItem::Kind::DistList:
      return L"IPM.DistList";
    case OutlookItem::Kind::Mail:
      break;
  }
  return L"IPM.Note";
}

// A property the item does not have comes as Empty, as in Outlook's tables.
Variant Cell(const OutlookItem& item, Column column) {
  const bool contact = item.kind == OutlookItem::Kind::Contact;
  switch (column) {
    case Column::EntryId:
      return Variant::Text(item.entry_id);
    case Column::MessageClass:
      return Variant::Text(ClassOf(item));
    case Column::FileAs:
      return contact ? Variant::Text(item.file_as) : Variant();
    case Column::MobileTelephoneNumber:
      return contact && !item.mobile.empty() ? Variant::Text(item.mobile) : Variant();
    case Column::Subject:
      switch (item.kind) {
        case OutlookItem::Kind::Contact:
          return Variant::Text(item.full_name);
        case OutlookItem::Kind::DistList:
          return Variant::Text(item.dl_name);
        case OutlookItem::Kind::Mail:
          return Variant::Text(item.subject);
      }
  }
  return {};
}

class ColumnsObject final : public DispatchImpl<ColumnsObject> {
 public:
  // Outlook's default columns, as far as this stand-in knows them.
  explicit ColumnsObject(std::shared_ptr<HostContext> context)
      : DispatchImpl(std::move(context)),
        columns_{Column::EntryId, Column::Subject, Column::MessageClass} {}
  static const MemberTable<ColumnsObject>& Members() {
    using C = ColumnsObject;
    static const MemberTable<C> table = {
        {.name = L"Count", .get = &C::Count},
        {.name = L"Add", .get = &C::Add, .params = {L"Name"}},
        {.name = L"RemoveAll", .get = &C::RemoveAll},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"Columns"; }
  const std::vector<Column>& columns() const { return columns_; }

 private:
  Variant Count(Arguments&) { return Variant::Int(static_cast<long>(columns_.size())); }
  Variant Add(Arguments& args) {
    const std::wstring name = args.Text(0);
    for (const ColumnName& known : kColumns) {
      if (SameName(name, known.name)) {
        columns_.push_back(known.column);
        return {};
      }
    }
    Raise(E_INVALIDARG, L"The property \"" + name + L"\" is not supported in a table.");
  }
  Variant RemoveAll(Arguments&) {
    columns_.clear();
    return {};
  }

  std::vector<Column> columns_;
};

class TableObject final : public DispatchImpl<TableObject> {
 public:
  TableObject(const std::shared_ptr<HostContext>& context, const Folder& folder)
      : DispatchImpl(context), folder_(folder), columns_(MakeCom<ColumnsObject>(context)) {}
  static const MemberTable<TableObject>& Members() {
    using T = TableObject;
    static const MemberTable<T> table = {
        {.name = L"Columns", .get = &T::Columns},
        {.name = L"GetArray", .get = &T::GetArray, .params = {L"MaxRows"}},
        {.name = L"EndOfTable", .get = &T::EndOfTable},
        {.name = L"MoveToStart", .get = &T::MoveToStart},
        {.name = L"GetRowCount", .get = &T::GetRowCount},
    };
    return table;
  }
  std::wstring_view TypeName() const override { return L"Table"; }

 private:
  Variant Columns(Arguments&) { return ObjectResult(columns_); }
  // Outlook's array counts from 0; past the end it holds no rows.
  Variant GetArray(Arguments& args) {
    const long most = args.Int(0);
    if (most < 1) Raise(E_INVALIDARG, L"MaxRows must be at least 1.");
    const std::vector<Column>& columns = columns_->columns();
    std::vector<std::vector<Variant>> rows;
    for (; next_ < folder_.items.size() && rows.size() < static_cast<std::size_t>(most); ++next_) {
      std::vector<Variant>& row = rows.emplace_back();
      for (const Column column : columns) row.push_back(Cell(folder_.items[next_], column));
    }
    if (rows.empty()) return {};
    return Variant::Rows(rows, columns.size(), 0);
  }
  Variant EndOfTable(Arguments&) { return Variant::Bool(next_ >= folder_.items.size()); }
  Variant MoveToStart(Arguments&) {
    next_ = 0;
    return {};
  }
  Variant GetRowCount(Arguments&) { return Variant::Int(static_cast<long>(folder_.items.size())); }

  const Folder& folder_;
  ComPtr<ColumnsObject> columns_;
  std::size_t next_ = 0;
};

}  // namespace

Variant FolderTableResult(const std::shared_ptr<HostContext>& context, const Folder& folder,
                          Arguments& args) {
  if (const std::optional<std::wstring> filter = args.OptionalText(0); filter && !filter->empty())
    Raise(E_NOTIMPL, L"The stand-in host does not filter tables.");
  args.OptionalInt(1);
  return ObjectResult(MakeCom<TableObject>(context, folder));
}

}  // namespace parvel::standin
