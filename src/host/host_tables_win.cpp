#include "host/host_tables_win.h"

#include <oleauto.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "com/variant_win.h"
#include "host/host_model.h"

namespace parvel::host {
namespace {

constexpr std::array<const wchar_t*, 4> kContactColumns = {L"EntryID", L"MessageClass", L"FileAs",
                                                           L"MobileTelephoneNumber"};
constexpr std::array<std::uint32_t, 4> kAddressColumns = {kPrDisplayType, kPrDisplayName,
                                                          kPrEntryId, kPrMobileTelephoneNumber};

// The column tags as VB passes them: a Variant array of Longs.
com::Variant TagArray() {
  SAFEARRAY* const array =
      SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(kAddressColumns.size()));
  if (array == nullptr) throw HostError(E_OUTOFMEMORY, L"no memory for the table's columns");
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&value) = array;
  com::Variant owned = com::Variant::Adopt(value);
  for (LONG i = 0; i < static_cast<LONG>(kAddressColumns.size()); ++i) {
    com::Variant tag(static_cast<int>(kAddressColumns[static_cast<std::size_t>(i)]));
    const HRESULT hr = SafeArrayPutElement(array, &i, tag.get());
    if (FAILED(hr)) com::ThrowComError(hr, L"the table's columns");
  }
  return owned;
}

// The cells of a batch that GetRows or GetArray returned: a two-dimensional
// array, rows by columns, counted from whatever base the host chose, or a
// one-dimensional array of rows each an array; Empty or Null once the table
// is at its end.
class Cells {
 public:
  explicit Cells(const com::Variant& batch) {
    const VARIANT* value = batch.get();
    if (V_VT(value) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(value) != nullptr)
      value = V_VARIANTREF(value);
    if (V_VT(value) == VT_EMPTY || V_VT(value) == VT_NULL) return;
    if ((V_VT(value) & VT_ARRAY) == 0 || (V_VT(value) & VT_TYPEMASK) != VT_VARIANT)
      throw HostError(DISP_E_TYPEMISMATCH, L"the table's rows are not an array of values");
    SAFEARRAY* const array = (V_VT(value) & VT_BYREF) != 0 ? *V_ARRAYREF(value) : V_ARRAY(value);
    if (array == nullptr) return;
    const UINT dimensions = SafeArrayGetDim(array);
    if (dimensions == 2) {
      LONG first_row = 0, last_row = -1, first_column = 0, last_column = -1;
      SafeArrayGetLBound(array, 1, &first_row);
      SafeArrayGetUBound(array, 1, &last_row);
      SafeArrayGetLBound(array, 2, &first_column);
      SafeArrayGetUBound(array, 2, &last_column);
      for (LONG row = first_row; row <= last_row; ++row) {
        std::vector<com::Variant>& cells = rows_.emplace_back();
        for (LONG column = first_column; column <= last_column; ++column) {
          LONG at[2] = {row, column};
          cells.push_back(Element(array, at));
        }
      }
    } else if (dimensions == 1) {
      LONG first = 0, last = -1;
      SafeArrayGetLBound(array, 1, &first);
      SafeArrayGetUBound(array, 1, &last);
      for (LONG row = first; row <= last; ++row) {
        LONG at[1] = {row};
        rows_.push_back(Cells(Element(array, at)).Single());
      }
    }
  }

  const std::vector<std::vector<com::Variant>>& rows() const { return rows_; }

 private:
  static com::Variant Element(SAFEARRAY* array, LONG* at) {
    VARIANT cell;
    VariantInit(&cell);
    const HRESULT hr = SafeArrayGetElement(array, at, &cell);
    if (FAILED(hr)) com::ThrowComError(hr, L"a cell of the table");
    return com::Variant::Adopt(cell);
  }
  // A row given as a one-dimensional array of its cells.
  std::vector<com::Variant> Single() {
    if (rows_.empty()) return {};
    std::vector<com::Variant> cells;
    for (auto& row : rows_) {
      for (auto& cell : row) cells.push_back(std::move(cell));
    }
    return cells;
  }

  std::vector<std::vector<com::Variant>> rows_;
};

std::optional<std::wstring> OptionalText(const com::Variant& cell) {
  if (cell.IsNullOrEmpty() || V_VT(cell.get()) == VT_ERROR) return std::nullopt;
  return cell.ToText();
}

std::wstring Text(const com::Variant& cell) { return OptionalText(cell).value_or(std::wstring()); }

// An entry ID column: binary in a MAPI table, written as AddressEntry.ID
// writes it; some hosts give the hexadecimal text already.
std::wstring EntryIdText(const com::Variant& cell) {
  if (V_VT(cell.get()) == VT_BSTR) return cell.ToText();
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex;
  for (const std::uint8_t byte : cell.ToBytes()) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0F]);
  }
  return hex;
}

const com::Variant& Cell(const std::vector<com::Variant>& row, std::size_t column) {
  if (column >= row.size())
    throw HostError(DISP_E_BADINDEX, L"the table gave fewer columns than were set");
  return row[column];
}

class AddressTableAdapter final : public AddressTable {
 public:
  AddressTableAdapter(com::Dispatch table, const com::Dispatch& entries)
      : table_(std::move(table)) {
    table_.Put(L"Item", com::Variant(entries.get()));
    table_.Put(L"Columns", TagArray());
    table_.Call(L"GoToFirst");
  }

  std::vector<AddressRow> NextRows(int count) override {
    const Cells cells(table_.Call(L"GetRows", {count}));
    std::vector<AddressRow> rows;
    rows.reserve(cells.rows().size());
    for (const std::vector<com::Variant>& row : cells.rows()) {
      const com::Variant& display_type = Cell(row, 0);
      rows.push_back({.display_type = display_type.IsNullOrEmpty() ? -1 : display_type.ToInt(),
                      .name = Text(Cell(row, 1)),
                      .id = EntryIdText(Cell(row, 2)),
                      .mobile = OptionalText(Cell(row, 3))});
    }
    return rows;
  }

 private:
  com::Dispatch table_;
};

class ContactTableAdapter final : public ContactTable {
 public:
  explicit ContactTableAdapter(const com::Dispatch& folder) : table_(folder.Object(L"GetTable")) {
    const com::Dispatch columns = table_.Object(L"Columns");
    columns.Call(L"RemoveAll");
    for (const wchar_t* column : kContactColumns) columns.Call(L"Add", {column});
  }

  std::vector<ContactRow> NextRows(int count) override {
    if (table_.Call(L"EndOfTable").ToBool()) return {};
    const Cells cells(table_.Call(L"GetArray", {count}));
    std::vector<ContactRow> rows;
    rows.reserve(cells.rows().size());
    for (const std::vector<com::Variant>& row : cells.rows()) {
      rows.push_back({.entry_id = EntryIdText(Cell(row, 0)),
                      .message_class = Text(Cell(row, 1)),
                      .file_as = Text(Cell(row, 2)),
                      .mobile = Text(Cell(row, 3))});
    }
    return rows;
  }

 private:
  com::Dispatch table_;
};

}  // namespace

std::unique_ptr<ContactTable> MakeContactTable(const com::Dispatch& folder) {
  return std::make_unique<ContactTableAdapter>(folder);
}

std::unique_ptr<AddressTable> MakeAddressTable(com::Dispatch table, const com::Dispatch& entries) {
  return std::make_unique<AddressTableAdapter>(std::move(table), entries);
}

}  // namespace parvel::host
