#include "app/Autorun.h"

namespace ostrel {

bool writeAutorun(Registry& registry, const std::string& command) {
    if (registry.writeStringToExistingKey(RegistryRoot::LocalMachine, kRunKey, kAutorunValue, command)) {
        // One entry is enough: an older one under the user's key would start a second copy.
        registry.deleteValue(RegistryRoot::CurrentUser, kRunKey, kAutorunValue);
        return true;
    }
    return registry.writeString(RegistryRoot::CurrentUser, kRunKey, kAutorunValue, command);
}

void deleteAutorun(Registry& registry) {
    registry.deleteValue(RegistryRoot::LocalMachine, kRunKey, kAutorunValue);
    registry.deleteValue(RegistryRoot::CurrentUser, kRunKey, kAutorunValue);
}

}  // namespace ostrel
