#include "tools/make-catalogue/CatalogueMaker.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "download/CatalogueUrls.h"
#include "download/LocalName.h"
#include "imaging/JpegCodec.h"
#include "imaging/Resample.h"
#include "tools/make-catalogue/JpegWriter.h"

namespace ostrel::catalogue {
namespace fs = std::filesystem;
namespace {

constexpr int kPreviewQuality = 85;

class StringReadStream final : public ReadStream {
public:
    explicit StringReadStream(const std::string& bytes) : bytes_(bytes) {}
    std::size_t read(void* buffer, std::size_t n) override {
        n = std::min(n, bytes_.size() - pos_);
        std::copy_n(bytes_.data() + pos_, n, static_cast<char*>(buffer));
        pos_ += n;
        return n;
    }
    bool failed() const override { return false; }
    std::optional<std::uint64_t> size() const override { return bytes_.size(); }

private:
    const std::string& bytes_;
    std::size_t pos_ = 0;
};

std::string twoDigits(int n) { return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)}; }

bool isJpegName(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".jpg" || ext == ".jpeg";
}

std::optional<std::string> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool writeAll(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

// The JPEG files directly in the folder that can be published, each under a
// name of its own; the others reported.
std::vector<Picture> candidates(const fs::path& folder, std::ostream& log, std::size_t& skipped) {
    std::vector<Picture> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::error_code ec;
        if (!entry.is_regular_file(ec) || !isJpegName(entry.path())) continue;
        const std::string fileName = entry.path().filename().string();
        auto name = publishedName(fileName);
        const auto modified = entry.last_write_time(ec);
        if (!name || ec) {
            log << "skipped " << fileName << ": " << (ec ? ec.message() : "name not ASCII or not safe") << '\n';
            ++skipped;
            continue;
        }
        found.push_back({entry.path(), std::move(*name), modified});
    }
    sortNewestFirst(found);
    // Two files can map to one name ("a b.jpg", "a_b.jpg"): the newer one wins.
    std::set<std::string> seen;
    std::erase_if(found, [&](const Picture& p) {
        if (seen.insert(p.name).second) return false;
        log << "skipped " << p.source.filename().string() << ": published name " << p.name << " already taken\n";
        ++skipped;
        return true;
    });
    return found;
}

}  // namespace

std::string indexDate(const std::tm& local) {
    return std::to_string(local.tm_mday) + '-' + twoDigits(local.tm_mon + 1) + '-' + twoDigits(local.tm_year % 100);
}

std::string indexDate(fs::file_time_type modified) {
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(fs::file_time_type::clock::to_sys(modified)));
    std::tm local{};
    localtime_r(&t, &local);
    return indexDate(local);
}

std::optional<std::string> publishedName(std::string_view fileName) {
    std::string name(fileName);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
        // The program appends paths to the URL unescaped: these would end the
        // path or be decoded by the server, and the picture could not be fetched.
        if (c == '#' || c == '%' || c == '?') return std::nullopt;
        if (c == ' ') c = '_';
    }
    if (!safeLocalName(name)) return std::nullopt;
    return name;
}

std::string indexLine(std::string_view name, std::string_view date) {
    std::string line;
    line.append(kFullFolder).append("/").append(name).append(" ");
    line.append(kPreviewFolder).append("/").append(name).append(" ");
    line.append(date).append("\n");
    return line;
}

ImageSize previewSize(ImageSize source, ImageSize box) {
    if (source.width <= box.width && source.height <= box.height) return source;
    const double scale =
        std::min(static_cast<double>(box.width) / source.width, static_cast<double>(box.height) / source.height);
    auto side = [&](int n, int limit) { return std::clamp(static_cast<int>(std::lround(n * scale)), 1, limit); };
    return {side(source.width, box.width), side(source.height, box.height)};
}

std::optional<std::string> makePreview(const std::string& jpegBytes) {
    StringReadStream header(jpegBytes);
    const auto size = jpegSize(header);
    if (!size) return std::nullopt;
    const ImageSize target = previewSize(*size);
    StringReadStream in(jpegBytes);
    const auto picture = decodeJpeg(in, target);  // libjpeg's scaled decoding does most of the shrinking
    if (!picture) return std::nullopt;
    return encodeBaselineJpeg(picture->size() == target ? *picture : resample(*picture, target), kPreviewQuality);
}

void sortNewestFirst(std::vector<Picture>& pictures) {
    std::sort(pictures.begin(), pictures.end(), [](const Picture& a, const Picture& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name < b.name;
    });
}

Outcome makeCatalogue(const fs::path& picturesFolder, const fs::path& catalogueFolder, std::ostream& log) {
    Outcome outcome;
    std::error_code ec;
    const fs::path fullFolder = catalogueFolder / kFullFolder, previewFolder = catalogueFolder / kPreviewFolder;
    fs::create_directories(fullFolder, ec);
    if (!ec) fs::create_directories(previewFolder, ec);
    if (ec) {
        log << "cannot create " << catalogueFolder.string() << ": " << ec.message() << '\n';
        return outcome;
    }
    std::vector<Picture> pictures;
    try {
        pictures = candidates(picturesFolder, log, outcome.skipped);
    } catch (const fs::filesystem_error& e) {
        log << "cannot list " << picturesFolder.string() << ": " << e.code().message() << '\n';
        return outcome;
    }

    std::string index;
    for (const Picture& picture : pictures) {
        if (outcome.published == kIndexRecords) break;
        const auto bytes = readAll(picture.source);
        const auto preview = bytes ? makePreview(*bytes) : std::nullopt;
        if (!preview) {
            log << "skipped " << picture.source.filename().string() << ": "
                << (bytes ? "not a readable JPEG" : "cannot be read") << '\n';
            ++outcome.skipped;
            continue;
        }
        if (!writeAll(fullFolder / picture.name, *bytes) || !writeAll(previewFolder / picture.name, *preview)) {
            log << "cannot write " << picture.name << " into " << catalogueFolder.string() << '\n';
            return outcome;
        }
        index += indexLine(picture.name, indexDate(picture.modified));
        ++outcome.published;
    }
    // Written last and moved into place, so that a server never serves a half
    // index or one naming a picture that is not there yet.
    const fs::path indexPath = catalogueFolder / kIndexName, partial = indexPath.string() + ".part";
    if (!writeAll(partial, index) || (fs::rename(partial, indexPath, ec), ec)) {
        log << "cannot write " << indexPath.string() << '\n';
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

}  // namespace ostrel::catalogue
