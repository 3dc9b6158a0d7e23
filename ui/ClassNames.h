#pragma once
// The class names that other code finds the program's windows by: a second
// instance looks for the running main window, and the tests that drive the
// program look for it and for the list grid. Renamed here or nowhere.
namespace ostrel::ui {

inline constexpr wchar_t kMainWindowClass[] = L"TMainForm";
inline constexpr wchar_t kListGridClass[] = L"tMystringGrid";

}  // namespace ostrel::ui
