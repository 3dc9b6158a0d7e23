#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Text.h"
#include "platform/win32/UniqueHandle.h"

namespace ostrel::win32 {
namespace {

HKEY rootKey(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

UniqueRegistryKey openOrCreate(RegistryRoot root, const std::string& key) {
    UniqueRegistryKey handle;
    if (RegCreateKeyExA(rootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        handle.put(), nullptr) != ERROR_SUCCESS)
        handle.release();  // the out parameter is undefined on failure
    return handle;
}

UniqueRegistryKey openExisting(RegistryRoot root, const std::string& key, REGSAM access) {
    UniqueRegistryKey handle;
    if (RegOpenKeyExA(rootKey(root), key.c_str(), 0, access, handle.put()) != ERROR_SUCCESS) handle.release();
    return handle;
}

bool setString(HKEY key, const std::string& name, const std::string& value) {
    const DWORD bytes = static_cast<DWORD>(value.size() + 1);  // with the terminating NUL
    return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
           ERROR_SUCCESS;
}

}  // namespace

bool Win32Registry::createKey(RegistryRoot root, const std::string& key) {
    return static_cast<bool>(openOrCreate(root, key));
}

std::optional<std::string> Win32Registry::readString(RegistryRoot root, const std::string& key,
                                                     const std::string& name) const {
    // Reading must not create the key: an absent key is an absent value.
    UniqueRegistryKey handle = openExisting(root, key, KEY_QUERY_VALUE);
    if (!handle) return std::nullopt;
    // Read as stored (UTF-16) and converted exactly: the A function would hand
    // out a look-alike for a character the ANSI code page lacks, and a folder
    // such as "C:\Users\José" would silently become another, "Jose". Such a
    // value reads as absent.
    const std::wstring wideName = ansiToWide(name);
    std::vector<wchar_t> data(128);
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        LONG rc = RegQueryValueExW(handle.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                   &size);
        if (rc == ERROR_MORE_DATA) {
            // Another writer may grow the value between the two calls; ask again.
            data.resize(size / sizeof(wchar_t) + 2);
            continue;
        }
        if (rc != ERROR_SUCCESS) return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        // Stored strings may or may not carry their terminator; the text ends
        // at the first NUL either way.
        std::wstring text(data.data(), size / sizeof(wchar_t));
        if (auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
        return wideToAnsi(text);
    }
}

bool Win32Registry::writeString(RegistryRoot root, const std::string& key, const std::string& name,
                                const std::string& value) {
    UniqueRegistryKey handle = openOrCreate(root, key);
    return handle && setString(handle.get(), name, value);
}

bool Win32Registry::writeStringToExistingKey(RegistryRoot root, const std::string& key, const std::string& name,
                                             const std::string& value) {
    UniqueRegistryKey handle = openExisting(root, key, KEY_SET_VALUE);
    return handle && setString(handle.get(), name, value);
}

bool Win32Registry::deleteValue(RegistryRoot root, const std::string& key, const std::string& name) {
    UniqueRegistryKey handle = openExisting(root, key, KEY_SET_VALUE);
    return handle && RegDeleteValueA(handle.get(), name.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::deleteKey(RegistryRoot root, const std::string& key) {
    // The whole tree: RegDeleteKeyA refuses a key that has a subkey, someone else's included.
    const LONG rc = RegDeleteTreeA(rootKey(root), key.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace ostrel::win32
