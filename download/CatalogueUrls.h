#pragma once
// Where the catalogue lives, on the server and on this computer. Paths from
// the index are appended to the base URL as they stand, with no escaping.
#include <string>
#include <string_view>

namespace ostrel {

// The root of the catalogue server: the only address the program talks to.
inline constexpr std::string_view kCatalogueBaseUrl = "http://ostrel.example/";

// The index of the newest pictures, at the server's root and in the catalogue folder.
inline constexpr std::string_view kIndexName = "rz.txt";
// The record of the full-size pictures downloaded so far, in the catalogue folder.
inline constexpr std::string_view kLoadedName = "loaded.txt";

// dataFolder + "\download\": holds the index copy, loaded.txt and the previews.
std::string catalogueFolder(std::string_view dataFolder);

// baseUrl + path, the path unchanged.
std::string catalogueUrl(std::string_view baseUrl, std::string_view path);
// baseUrl + "rz.txt".
std::string indexUrl(std::string_view baseUrl);
// The server path of a URL formed by catalogueUrl: url less baseUrl at its
// front. A URL that does not start with baseUrl is answered unchanged.
std::string_view catalogueUrlPath(std::string_view baseUrl, std::string_view url);

}  // namespace ostrel
