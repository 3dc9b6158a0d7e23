#pragma once
// An in-memory registry for tests. Key paths and value names compare without
// regard to ASCII case, as on Windows. Every writeString call is logged in
// order, and one chosen write can be made to fail.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace ostrel::testing {

class FakeRegistry final : public Registry {
public:
    struct Write {
        std::string name;
        bool succeeded;
    };

    bool createKey(RegistryRoot root, const std::string& key) override;
    std::optional<std::string> readString(RegistryRoot root, const std::string& key,
                                          const std::string& name) const override;
    bool writeString(RegistryRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override;
    // Removes the key with its values and every key beneath it.
    bool deleteKey(RegistryRoot root, const std::string& key) override;

    // Test set-up: stores a value without logging it or counting it as a write.
    void set(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value);
    bool keyExists(RegistryRoot root, const std::string& key) const;
    // The values of a key, by their names as first written.
    std::map<std::string, std::string> values(RegistryRoot root, const std::string& key) const;

    // The nth writeString call from now on (1-based) fails and changes nothing;
    // 0 turns this off.
    void failWriteNumber(int n) {
        failAt_ = n;
        writesSinceArmed_ = 0;
    }

    // Every writeString call, the failed one included.
    const std::vector<Write>& writes() const { return writes_; }
    // Names of the successful writes only, in order.
    std::vector<std::string> writtenNames() const;
    void clearLog() { writes_.clear(); }

private:
    struct Value {
        std::string name;  // as first written
        std::string text;
    };
    using Values = std::map<std::string, Value>;  // by lower-case name
    using KeyId = std::pair<RegistryRoot, std::string>;  // lower-case path

    static KeyId id(RegistryRoot root, const std::string& key);
    static std::string lower(std::string text);

    std::map<KeyId, Values> keys_;
    std::vector<Write> writes_;
    int failAt_ = 0;
    int writesSinceArmed_ = 0;
};

}  // namespace ostrel::testing
