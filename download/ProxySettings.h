#pragma once
// The proxy the downloads go through, as set in the options for this run
// only. The interface thread sets it; each transfer reads it when it opens
// its Internet session, on its own thread.
#include <mutex>
#include <optional>
#include <string>

namespace ostrel {

class ProxySettings {
public:
    // "host:port" while a proxy is chosen; nullopt for a direct connection.
    void set(std::optional<std::string> proxy) {
        std::lock_guard lock(mutex_);
        proxy_ = std::move(proxy);
    }
    std::optional<std::string> get() const {
        std::lock_guard lock(mutex_);
        return proxy_;
    }

private:
    mutable std::mutex mutex_;
    std::optional<std::string> proxy_;
};

}  // namespace ostrel
