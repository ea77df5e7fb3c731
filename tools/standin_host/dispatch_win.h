#pragma once

// Hand-written IDispatch objects with name tables, answering late-bound calls
// the way Office and Redemption objects do: names in any letter case,
// DISPATCH_METHOD and DISPATCH_PROPERTYGET alike, property puts through the
// DISPID_PROPERTYPUT named argument, positional arguments in reverse order,
// named arguments by parameter name, VT_ERROR/DISP_E_PARAMNOTFOUND for a
// missing optional argument, and failures as DISP_E_EXCEPTION with an
// EXCEPINFO.

#include <windows.h>

#include <oaidl.h>
#include <objbase.h>
#include <wrl/client.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace parvel::standin {

using Microsoft::WRL::ComPtr;

struct HostContext;

// Raised by an operation of a host object; the caller gets DISP_E_EXCEPTION
// with this scode and description.
class DispatchError {
 public:
  DispatchError(HRESULT scode, std::wstring description)
      : scode_(scode), description_(std::move(description)) {}
  HRESULT scode() const { return scode_; }
  const std::wstring& description() const { return description_; }

 private:
  HRESULT scode_;
  std::wstring description_;
};

[[noreturn]] void Raise(HRESULT scode, std::wstring description);

inline constexpr HRESULT kMapiNotFound = static_cast<HRESULT>(0x8004010F);

// Makes a COM object whose reference count starts at one.
template <typename T, typename... Args>
ComPtr<T> MakeCom(Args&&... args) {
  ComPtr<T> object;
  // Adopted through its address: mingw's ComPtr::Attach adds a reference,
  // unlike Microsoft's, and the object would never be freed.
  // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): its reference count owns it, held by ComPtr.
  *object.ReleaseAndGetAddressOf() = new T(std::forward<Args>(args)...);
  return object;
}

class Variant {
 public:
  Variant() noexcept { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant& operator=(Variant&& other) noexcept;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  static Variant Text(std::wstring_view text);
  static Variant Int(long value);
  static Variant Bool(bool value);
  static Variant Object(IDispatch* object);  // a null pointer gives Nothing
  static Variant Null();
  static Variant Copy(const VARIANT& value);
  // A VT_ARRAY|VT_UI1 byte array.
  static Variant Bytes(std::span<const std::uint8_t> bytes);
  // A VT_ARRAY|VT_VARIANT array taking the elements over.
  static Variant Array(std::vector<Variant> elements);
  // A two-dimensional VT_ARRAY|VT_VARIANT array, rows by columns, both
  // counted from base, as VB's Array(row, column) reads it.
  static Variant Rows(const std::vector<std::vector<Variant>>& rows, std::size_t columns,
                      long base);

  const VARIANT& get() const { return value_; }
  VARIANT Detach() noexcept {
    const VARIANT value = value_;
    VariantInit(&value_);
    return value;
  }

 private:
  VARIANT value_;
};

template <typename T>
Variant ObjectResult(const ComPtr<T>& object) {
  return Variant::Object(object.Get());
}

// The arguments of one call, by parameter position.
class Arguments {
 public:
  Arguments(const DISPPARAMS& params, std::size_t parameter_count, bool put);

  bool Has(std::size_t index) const;
  const VARIANT& Value(std::size_t index) const;  // the value behind any VT_BYREF
  std::wstring Text(std::size_t index) const;
  long Int(std::size_t index) const;
  bool Bool(std::size_t index) const;
  ComPtr<IDispatch> Object(std::size_t index) const;  // a null pointer for Nothing
  std::optional<std::wstring> OptionalText(std::size_t index) const;
  std::optional<long> OptionalInt(std::size_t index) const;
  std::optional<bool> OptionalBool(std::size_t index) const;

  // The value of a property put.
  const VARIANT& PutValue() const;
  std::wstring PutText() const;
  long PutInt() const;
  bool PutBool() const;
  ComPtr<IDispatch> PutObject() const;

 private:
  struct Slot {
    const VARIANT* value = nullptr;
    UINT rgvarg_index = 0;
  };
  const VARIANT& Converted(const Slot& slot, VARTYPE type, VARIANT& storage) const;
  std::wstring TextOf(const Slot& slot) const;
  long IntOf(const Slot& slot) const;
  bool BoolOf(const Slot& slot) const;
  ComPtr<IDispatch> ObjectOf(const Slot& slot) const;
  const Slot& Required(std::size_t index) const;

  std::vector<Slot> slots_;
  Slot put_;
};

// Raised for arguments that do not fit: the call returns the HRESULT and
// reports the argument's index in rgvarg.
struct ArgumentError {
  HRESULT hresult;
  UINT rgvarg_index;
};

// COM interfaces have no virtual destructor: objects end through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DispatchObject : public IDispatch {
 public:
  explicit DispatchObject(std::shared_ptr<HostContext> context);
  virtual ~DispatchObject();
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  // The class name used in error texts and by --fail ("SafeMailItem").
  virtual std::wstring_view TypeName() const = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument_error) override;

  HostContext& context() const { return *context_; }

  // Set by the host's collection that keeps the object (a toolbar, a button):
  // that one reference is the host's own, any other an add-in's.
  bool held_by_host = false;
  // The references to the object now; and those besides the host's own.
  ULONG References();
  ULONG ForeignReferences() { return References() - (held_by_host ? 1 : 0); }
  const std::shared_ptr<HostContext>& shared_context() const { return context_; }

 protected:
  // Who raises the errors, for EXCEPINFO's source.
  virtual std::wstring_view Source() const { return L"Microsoft Outlook"; }
  // Further interfaces of the object, AddRef'd; nullptr when it has none.
  virtual IUnknown* QueryOther(REFIID iid);
  // Called before every member; raises when the object cannot be used.
  virtual void CheckUsable() const {}
  // Whether this version of the host has the member at all: one it has not
  // is an unknown name, as to a late-bound caller of an older Outlook.
  virtual bool Offers(std::wstring_view /*member*/) const { return true; }

  struct MemberView {
    std::wstring_view name;
    std::span<const std::wstring_view> params;
    bool is_default;
  };
  virtual std::size_t TableSize() const = 0;
  virtual MemberView TableEntry(std::size_t index) const = 0;
  // Runs the member; false when it has no getter (or setter, for a put).
  virtual bool CallEntry(std::size_t index, bool put, Arguments& args, Variant& result) = 0;

 private:
  std::optional<std::size_t> IndexOf(DISPID id) const;

  std::atomic<ULONG> references_{1};
  std::shared_ptr<HostContext> context_;
};
#pragma GCC diagnostic pop

// The object behind an IDispatch that this host handed out, or nullptr.
template <typename T>
ComPtr<T> HostObject(IDispatch* dispatch);

namespace detail {
ComPtr<DispatchObject> HostObjectOf(IDispatch* dispatch);
}

template <typename T>
ComPtr<T> HostObject(IDispatch* dispatch) {
  const ComPtr<DispatchObject> object = detail::HostObjectOf(dispatch);
  return ComPtr<T>(dynamic_cast<T*>(object.Get()));
}

template <typename T>
struct Member {
  std::wstring_view name;
  Variant (T::*get)(Arguments&) = nullptr;
  void (T::*put)(Arguments&) = nullptr;
  std::vector<std::wstring_view> params;
  bool is_default = false;
};

template <typename T>
using MemberTable = std::vector<Member<T>>;

// Objects list their members in a static table: T::Members().
template <typename T>
class DispatchImpl : public DispatchObject {
 protected:
  using DispatchObject::DispatchObject;

 private:
  std::size_t TableSize() const override { return T::Members().size(); }
  MemberView TableEntry(std::size_t index) const override {
    const Member<T>& member = T::Members()[index];
    return {member.name, member.params, member.is_default};
  }
  bool CallEntry(std::size_t index, bool put, Arguments& args, Variant& result) override {
    const Member<T>& member = T::Members()[index];
    T& self = static_cast<T&>(*this);
    if (put) {
      if (member.put == nullptr) return false;
      (self.*member.put)(args);
      return true;
    }
    if (member.get == nullptr) return false;
    result = (self.*member.get)(args);
    return true;
  }
};

// What _NewEnum of a collection returns: an IEnumVARIANT (as VT_UNKNOWN) of
// the items from `at(i)` until it gives nothing.
Variant EnumerationResult(std::function<std::optional<Variant>(std::size_t)> at);

}  // namespace parvel::standin
