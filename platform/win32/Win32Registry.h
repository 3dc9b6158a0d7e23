#pragma once
// The registry through the ANSI functions: key paths, value names and texts are
// byte strings in the ANSI code page, as the settings have always been stored.
#include "platform/Registry.h"

namespace ostrel::win32 {

class Win32Registry final : public Registry {
public:
    bool createKey(RegistryRoot root, const std::string& key) override;
    std::optional<std::string> readString(RegistryRoot root, const std::string& key,
                                          const std::string& name) const override;
    [[nodiscard]] bool writeString(RegistryRoot root, const std::string& key, const std::string& name,
                                   const std::string& value) override;
    [[nodiscard]] bool writeStringToExistingKey(RegistryRoot root, const std::string& key, const std::string& name,
                                                const std::string& value) override;
    bool deleteValue(RegistryRoot root, const std::string& key, const std::string& name) override;
    bool deleteKey(RegistryRoot root, const std::string& key) override;
};

}  // namespace ostrel::win32
