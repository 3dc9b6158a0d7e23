#pragma once
// The registry, in the program's words: string values under a key path.
#include <optional>
#include <string>

namespace ostrel {

enum class RegistryRoot { CurrentUser, LocalMachine };

class Registry {
public:
    virtual ~Registry() = default;
    // Opens (creating when missing) the key with full access; false on failure.
    virtual bool createKey(RegistryRoot root, const std::string& key) = 0;
    // The text of a REG_SZ value; nullopt when the key or the value is absent.
    virtual std::optional<std::string> readString(RegistryRoot root, const std::string& key,
                                                  const std::string& name) const = 0;
    // Writes a REG_SZ value, creating the key when missing.
    [[nodiscard]] virtual bool writeString(RegistryRoot root, const std::string& key, const std::string& name,
                                           const std::string& value) = 0;
    // Writes a REG_SZ value into a key that exists already; false when the key
    // is absent or cannot be opened for writing.
    [[nodiscard]] virtual bool writeStringToExistingKey(RegistryRoot root, const std::string& key,
                                                        const std::string& name, const std::string& value) = 0;
    // Removes one value; false when the key cannot be opened or the value is absent.
    virtual bool deleteValue(RegistryRoot root, const std::string& key, const std::string& name) = 0;
    // Removes the key with its values and every key beneath it; true when it is
    // gone afterwards, also when it was not there.
    virtual bool deleteKey(RegistryRoot root, const std::string& key) = 0;
};

}  // namespace ostrel
