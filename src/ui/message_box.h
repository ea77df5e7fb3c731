#pragma once

#include <string_view>

namespace parvel {

enum class MessageIcon { Exclamation, Error, Information };

// Message boxes with a single OK button, owned by the window that shows them.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(std::wstring_view title, std::wstring_view text,
                    MessageIcon icon = MessageIcon::Exclamation) = 0;
};

}  // namespace parvel
