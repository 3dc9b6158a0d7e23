#include "download/CatalogueUrls.h"

#include <cstdlib>

namespace ostrel {

std::string catalogueBaseUrl(const char* environmentValue) {
    std::string url = environmentValue && *environmentValue ? environmentValue : std::string(kCatalogueBaseUrl);
    if (url.back() != '/') url += '/';
    return url;
}

std::string catalogueBaseUrl() { return catalogueBaseUrl(std::getenv("OSTREL_CATALOGUE_URL")); }

std::string catalogueFolder(std::string_view dataFolder) { return std::string(dataFolder) + "\\download\\"; }

std::string catalogueUrl(std::string_view baseUrl, std::string_view path) {
    return std::string(baseUrl) + std::string(path);
}

std::string indexUrl(std::string_view baseUrl) { return catalogueUrl(baseUrl, kIndexName); }

std::string_view catalogueUrlPath(std::string_view baseUrl, std::string_view url) {
    if (url.starts_with(baseUrl)) url.remove_prefix(baseUrl.size());
    return url;
}

std::string catalogueSiteName(std::string_view baseUrl) {
    if (const auto scheme = baseUrl.find("://"); scheme != std::string_view::npos) baseUrl.remove_prefix(scheme + 3);
    while (!baseUrl.empty() && baseUrl.back() == '/') baseUrl.remove_suffix(1);
    return std::string(baseUrl);
}

}  // namespace ostrel
