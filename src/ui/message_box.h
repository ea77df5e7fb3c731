#pragma once

#include <string_view>

namespace parvel {

enum class MessageIcon { Exclamation, Error, Information };

// Message boxes owned by the window that shows them.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A single OK button.
  virtual void Show(std::wstring_view title, std::wstring_view text,
                    MessageIcon icon = MessageIcon::Exclamation) = 0;
  // Yes and No buttons, with an exclamation icon; true for Yes.
  virtual bool Ask(std::wstring_view title, std::wstring_view text) = 0;
};

}  // namespace parvel
