#pragma once

// Named MAPI properties as a store maps them: each (property set, id or name)
// gets a property identifier from 0x8000 up the first time it is asked for,
// and keeps it. Outlook's stores hand these out per store, so an add-in must
// ask (GetIDsFromNames) rather than assume a number.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace parvel::standin {

// The distribution list members property: PSETID_Address, id 0x8055.
inline constexpr std::wstring_view kPsetidAddress = L"{00062004-0000-0000-C000-000000000046}";
inline constexpr std::uint32_t kDistListMembersId = 0x8055;
inline constexpr std::uint32_t kPtMvBinary = 0x1102;

class NamedProperties {
 public:
  // The property tag with its type bits zero. Throws std::invalid_argument
  // when the property set is not a GUID in braces.
  std::uint32_t TagFor(std::wstring_view property_set, std::wstring_view name);
  std::uint32_t TagFor(std::wstring_view property_set, std::uint32_t id);

 private:
  std::uint32_t Assign(std::wstring key);

  std::map<std::wstring, std::uint32_t> tags_;
  std::uint32_t next_id_ = 0x8120;
};

}  // namespace parvel::standin
