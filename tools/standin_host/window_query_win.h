#pragma once

// Finding and reading this process's windows as the scenario driver sees
// them: windows and controls by the names the add-in gives them (a window
// property holding a global atom of the name), message boxes by title, and
// the text and rows of controls. Called on the window thread.

#include <windows.h>

#include <string>
#include <vector>

namespace parvel::standin {

// Gives a window a name the driver finds it by; UnnameWindow frees the atom.
void NameWindow(HWND window, const std::wstring& name);
void UnnameWindow(HWND window);

std::wstring WindowName(HWND window);  // empty when it has none
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// Top-level windows of this process with the name, shown ones only.
std::vector<HWND> ShownWindows(const std::wstring& name);
// The first control with the name inside the window, or nullptr.
HWND FindControl(HWND window, const std::wstring& name);
// "OLMain.Text2", or the class and text of a window without a name.
std::wstring Describe(HWND window);

struct ShownMessageBox {
  HWND window;
  std::wstring title;
  std::wstring text;
};
// Shown message boxes of this process (dialogs with the text control 0xFFFF).
std::vector<ShownMessageBox> MessageBoxes();

// The rows of a list view (all columns), list box or combo box.
std::vector<std::vector<std::wstring>> ListRows(HWND list);
// The number of rows of a list view, list box or combo box.
int RowCount(HWND list);
// Header texts of a list view.
std::vector<std::wstring> ListColumns(HWND list);

// Every shown top-level window of this process, for screenshots.
std::vector<HWND> ProcessWindows();

}  // namespace parvel::standin
