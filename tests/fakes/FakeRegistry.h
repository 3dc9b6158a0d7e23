#pragma once
// An in-memory registry for tests. Key paths and value names compare without
// regard to ASCII case, as on Windows. Every writeString call is logged in
// order, and one chosen write can be made to fail.
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace ostrel::testing {

struct FakeRegistry final : Registry {
    struct Write {
        std::string name;
        bool succeeded;
    };

    bool createKey(RegistryRoot root, const std::string& key) override { return keys_.insert(id(root, key)), true; }
    std::optional<std::string> readString(RegistryRoot root, const std::string& key,
                                          const std::string& name) const override {
        auto v = values_.find({id(root, key), lower(name)});
        return v == values_.end() ? std::nullopt : std::optional(v->second.second);
    }
    bool writeString(RegistryRoot root, const std::string& key, const std::string& name,
                     const std::string& value) override {
        const bool fail = (failAt_ > 0 && ++writesSinceArmed_ == failAt_) || readOnlyKeys.count(id(root, key));
        writes_.push_back({name, !fail});
        if (!fail) set(root, key, name, value);
        return !fail;
    }
    bool writeStringToExistingKey(RegistryRoot root, const std::string& key, const std::string& name,
                                  const std::string& value) override {
        if (!keyExists(root, key) || readOnlyKeys.count(id(root, key))) return false;
        set(root, key, name, value);
        return true;
    }
    bool deleteValue(RegistryRoot root, const std::string& key, const std::string& name) override {
        return !readOnlyKeys.count(id(root, key)) && values_.erase({id(root, key), lower(name)}) > 0;
    }
    // Removes the key with its values and every key beneath it; a read-only key
    // at or beneath it refuses, and nothing is removed then.
    bool deleteKey(RegistryRoot root, const std::string& key) override {
        const std::string k = id(root, key);
        auto within = [&](const std::string& other) { return other == k || other.starts_with(k + "\\"); };
        if (std::any_of(readOnlyKeys.begin(), readOnlyKeys.end(), within)) return false;
        std::erase_if(values_, [&](const auto& v) { return within(v.first.first); });
        std::erase_if(keys_, within);
        return true;
    }

    // The user's folders as the shell names them ("Personal": Documents).
    static constexpr const char* kShellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    void setShellFolder(const std::string& name, const std::string& path) {
        set(RegistryRoot::CurrentUser, kShellFolders, name, path);
    }
    // Test set-up: stores a value without logging it or counting it as a write.
    void set(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value) {
        keys_.insert(id(root, key));
        auto [it, inserted] = values_.try_emplace({id(root, key), lower(name)}, name, value);
        if (!inserted) it->second.second = value;
    }
    bool keyExists(RegistryRoot root, const std::string& key) const { return keys_.count(id(root, key)) != 0; }
    // The values of a key, by their names as first written.
    std::map<std::string, std::string> values(RegistryRoot root, const std::string& key) const {
        std::map<std::string, std::string> out;
        for (const auto& [where, value] : values_)
            if (where.first == id(root, key)) out.insert(value);
        return out;
    }

    // The nth writeString call from now on (1-based) fails and changes nothing; 0 turns this off.
    void failWriteNumber(int n) { failAt_ = n, writesSinceArmed_ = 0; }
    // Every writeString call, the failed one included.
    const std::vector<Write>& writes() const { return writes_; }
    // Names of the successful writes only, in order.
    std::vector<std::string> writtenNames() const {
        std::vector<std::string> names;
        for (const Write& w : writes_)
            if (w.succeeded) names.push_back(w.name);
        return names;
    }
    void clearLog() { writes_.clear(); }
    // Keys, named as keyId names them, that refuse writes and deletions.
    std::set<std::string> readOnlyKeys;
    static std::string keyId(RegistryRoot root, const std::string& key) { return id(root, key); }

private:
    static std::string lower(std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    }
    static std::string id(RegistryRoot root, const std::string& key) {
        return (root == RegistryRoot::CurrentUser ? "HKCU\\" : "HKLM\\") + lower(key);
    }

    std::set<std::string> keys_;
    // (key, lower-case name) -> (name as first written, text)
    std::map<std::pair<std::string, std::string>, std::pair<std::string, std::string>> values_;
    std::vector<Write> writes_;
    int failAt_ = 0;
    int writesSinceArmed_ = 0;
};

}  // namespace ostrel::testing
