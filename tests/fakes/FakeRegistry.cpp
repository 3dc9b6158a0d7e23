#include "fakes/FakeRegistry.h"

namespace ostrel::testing {

std::string FakeRegistry::lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

FakeRegistry::KeyId FakeRegistry::id(RegistryRoot root, const std::string& key) {
    return {root, lower(key)};
}

bool FakeRegistry::createKey(RegistryRoot root, const std::string& key) {
    keys_[id(root, key)];
    return true;
}

std::optional<std::string> FakeRegistry::readString(RegistryRoot root, const std::string& key,
                                                    const std::string& name) const {
    auto k = keys_.find(id(root, key));
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.find(lower(name));
    if (v == k->second.end()) return std::nullopt;
    return v->second.text;
}

bool FakeRegistry::writeString(RegistryRoot root, const std::string& key, const std::string& name,
                               const std::string& value) {
    const bool fail = failAt_ > 0 && ++writesSinceArmed_ == failAt_;
    writes_.push_back({name, !fail});
    if (fail) return false;
    set(root, key, name, value);
    return true;
}

bool FakeRegistry::deleteKey(RegistryRoot root, const std::string& key) {
    const KeyId target = id(root, key);
    const std::string prefix = target.second + "\\";
    const auto before = keys_.size();
    std::erase_if(keys_, [&](const auto& entry) {
        const KeyId& k = entry.first;
        return k.first == root && (k.second == target.second || k.second.starts_with(prefix));
    });
    return keys_.size() != before;
}

void FakeRegistry::set(RegistryRoot root, const std::string& key, const std::string& name,
                       const std::string& value) {
    Values& values = keys_[id(root, key)];
    auto [it, inserted] = values.try_emplace(lower(name), Value{name, value});
    if (!inserted) it->second.text = value;
}

bool FakeRegistry::keyExists(RegistryRoot root, const std::string& key) const {
    return keys_.count(id(root, key)) != 0;
}

std::map<std::string, std::string> FakeRegistry::values(RegistryRoot root, const std::string& key) const {
    std::map<std::string, std::string> out;
    auto k = keys_.find(id(root, key));
    if (k != keys_.end())
        for (const auto& [lowerName, value] : k->second) out[value.name] = value.text;
    return out;
}

std::vector<std::string> FakeRegistry::writtenNames() const {
    std::vector<std::string> names;
    for (const Write& w : writes_)
        if (w.succeeded) names.push_back(w.name);
    return names;
}

}  // namespace ostrel::testing
