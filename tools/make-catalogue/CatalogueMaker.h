#pragma once
// A folder of JPEG pictures turned into a catalogue a static web server can
// publish: "rz.txt" naming the newest pictures, their previews under
// "small/" and the pictures themselves, unchanged, under "images/".
#include <chrono>
#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/Image.h"

namespace ostrel::catalogue {

// Six and five characters: the reader's localName strips exactly "images/"
// (n = 7) and "small_" (n = 6) to reach the bare name.
inline constexpr std::string_view kFullFolder = "images";
inline constexpr std::string_view kPreviewFolder = "small";
inline constexpr std::size_t kIndexRecords = 100;
inline constexpr ImageSize kPreviewBox{138, 121};  // the download browser's preview slot

// d-mm-yy, the day without a leading zero: the shape the index reader counts on.
std::string indexDate(const std::tm& local);
std::string indexDate(std::filesystem::file_time_type modified);

// The name a picture is published under: spaces become '_'; nullopt when the
// name is not ASCII or not safe for the client to write (download/LocalName.h).
std::optional<std::string> publishedName(std::string_view fileName);

// One line of the index, line feed included.
std::string indexLine(std::string_view name, std::string_view date);

// The largest size within box with the source's proportions; a smaller source keeps its size.
ImageSize previewSize(ImageSize source, ImageSize box = kPreviewBox);

// The preview of a JPEG file's bytes as a baseline JPEG; nullopt when the bytes do not decode.
std::optional<std::string> makePreview(const std::string& jpegBytes);

struct Picture {
    std::filesystem::path source;
    std::string name;  // as published
    std::filesystem::file_time_type modified;
};

// Newest first; equal times by name, so that the order never depends on the listing.
void sortNewestFirst(std::vector<Picture>& pictures);

struct Outcome {
    bool ok = false;
    std::size_t published = 0;
    std::size_t skipped = 0;
};

// Publishes the newest kIndexRecords JPEG files (.jpg or .jpeg) directly in
// picturesFolder into catalogueFolder, creating it and its two sub-folders.
// Pictures that cannot be published (name, unreadable, not decodable) are
// reported on log and passed over for the next newest. Fails when the
// catalogue cannot be written.
Outcome makeCatalogue(const std::filesystem::path& picturesFolder, const std::filesystem::path& catalogueFolder,
                      std::ostream& log);

}  // namespace ostrel::catalogue
