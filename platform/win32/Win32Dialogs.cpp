#include "platform/win32/Win32Dialogs.h"

#include <commdlg.h>

#include <vector>

#include "base/ProgramName.h"
#include "platform/win32/FrontOwner.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Text.h"

namespace ostrel::win32 {
namespace {

// "Caption|pattern|Caption|pattern" → "Caption\0pattern\0Caption\0pattern\0\0".
std::wstring dialogFilter(const std::string& filterUtf8) {
    std::wstring filter = utf8ToWide(filterUtf8);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

// The remembered path often names the list file saved last; the dialog wants
// a folder, and one that does not exist makes it fall back to its own default.
std::wstring initialFolder(const std::string& initialPathAnsi) {
    std::wstring path = ansiToWide(initialPathAnsi);
    if (path.empty()) return path;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return path;
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);  // "C:\"
    return path.substr(0, slash);
}

}  // namespace

void refuseUnwritableName(HWND owner, std::wstring_view name, bool folder) {
    const std::wstring text = utf8ToWide(folder ? "Имя папки" : "Имя файла") +
                              utf8ToWide(
                                  " содержит знаки, которых нет в кодировке Windows, и программа не может с "
                                  "ним работать:\n\n") +
                              std::wstring(name) + utf8ToWide("\n\nВыберите другое имя.");
    messageBox(owner, text.c_str(), kProgramTitleWide, MB_OK);
}

void Win32Dialogs::message(const std::string& textUtf8) {
    // Owned by the program's window in use (the options, say), which waits
    // disabled for the answer and gets the focus back after it; in front of
    // the full-screen viewer while that is shown.
    HWND active = GetActiveWindow();
    HWND owner = active && IsWindowVisible(active) && IsWindowEnabled(active) ? active : owner_;
    messageBox(frontOwner(owner), utf8ToWide(textUtf8).c_str(), kProgramTitleWide, MB_OK);
}

std::string Win32Dialogs::pathForMessage(const std::string& pathAnsi) const { return wideToUtf8(pathToWide(pathAnsi)); }

bool Win32Dialogs::askYesNo(const std::string& textUtf8, const std::string& captionUtf8) {
    // Without an owner, so that the main window stays usable; but over the
    // full-screen viewer it is the viewer's, or it would wait unseen behind it.
    return messageBox(frontOwner(nullptr), utf8ToWide(textUtf8).c_str(), utf8ToWide(captionUtf8).c_str(),
                      MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::optional<std::string> Win32Dialogs::saveFile(const FileDialogRequest& request) { return run(request, true); }

std::optional<std::string> Win32Dialogs::openFile(const FileDialogRequest& request) { return run(request, false); }

std::optional<std::string> Win32Dialogs::run(const FileDialogRequest& request, bool save) {
    const std::wstring filter = dialogFilter(request.filterUtf8);
    const std::wstring folder = initialFolder(request.initialPath);
    std::string extension = request.defaultExtension;
    if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
    const std::wstring defaultExtension = utf8ToWide(extension);
    std::vector<wchar_t> file(4096, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = frontOwner(owner_);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    // No overwrite prompt on saving: choosing an existing list replaces it.
    // The current directory stays where it was, so relative paths keep their meaning.
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return std::nullopt;
    // The program works with paths in the ANSI code page; a name that cannot
    // be written there exactly is refused rather than turned into another one.
    std::optional<std::string> ansi = wideToAnsi(file.data());
    if (!ansi) refuseUnwritableName(frontOwner(owner_), file.data(), false);
    return ansi;
}

}  // namespace ostrel::win32
