#pragma once
// Where the catalogue lives, on the server and on this computer. Paths from
// the index are appended to the base URL as they stand, with no escaping.
#include <string>
#include <string_view>

namespace ostrel {

// The root of the catalogue server, as the build sets it (OSTREL_CATALOGUE_URL).
#ifndef OSTREL_CATALOGUE_URL
#define OSTREL_CATALOGUE_URL "http://ostrel.example/"
#endif
inline constexpr std::string_view kCatalogueBaseUrl = OSTREL_CATALOGUE_URL;

// The root of the catalogue server, the only address the program talks to:
// the environment's OSTREL_CATALOGUE_URL when set (a catalogue of one's own,
// say on 127.0.0.1), else the build's. It always ends in "/".
std::string catalogueBaseUrl();
// The same rule over a given environment value (nullptr or empty: unset).
std::string catalogueBaseUrl(const char* environmentValue);

// The index of the newest pictures, at the server's root and in the catalogue folder.
inline constexpr std::string_view kIndexName = "rz.txt";
// The record of the full-size pictures downloaded so far, in the catalogue folder.
inline constexpr std::string_view kLoadedName = "loaded.txt";

// dataFolder + "\download\": holds the index copy, loaded.txt and the previews.
std::string catalogueFolder(std::string_view dataFolder);

// The catalogue site's name as the download browser shows it: the base URL
// without its scheme and its last "/" ("127.0.0.1:8765" for http://127.0.0.1:8765/).
std::string catalogueSiteName(std::string_view baseUrl);

// baseUrl + path, the path unchanged.
std::string catalogueUrl(std::string_view baseUrl, std::string_view path);
// baseUrl + "rz.txt".
std::string indexUrl(std::string_view baseUrl);
// The server path of a URL formed by catalogueUrl: url less baseUrl at its
// front. A URL that does not start with baseUrl is answered unchanged.
std::string_view catalogueUrlPath(std::string_view baseUrl, std::string_view url);

}  // namespace ostrel
