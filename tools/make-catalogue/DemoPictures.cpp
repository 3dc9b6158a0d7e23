#include "tools/make-catalogue/DemoPictures.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "tools/make-catalogue/JpegWriter.h"

namespace ostrel::catalogue {
namespace fs = std::filesystem;
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

// Hue in turns, full saturation and value.
Rgb hue(double h) {
    auto channel = [&](double offset) {
        double x = std::fmod(h + offset, 1.0) * 6.0;
        return std::clamp(std::abs(x - 3.0) - 1.0, 0.0, 1.0);
    };
    return {channel(0.0), channel(2.0 / 3.0), channel(1.0 / 3.0)};
}

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

// Seven-segment digits: bits a..g of the segments lit.
constexpr std::array<int, 10> kSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

bool onDigit(int digit, double u, double v) {  // u, v in [0,1) of the digit's cell
    constexpr double t = 0.16;                 // stroke thickness
    const int lit = kSegments[digit];
    const bool left = u<t, right = u> 1 - t, top = v<t, bottom = v> 1 - t, middle = std::abs(v - 0.5) < t / 2;
    const bool upper = v < 0.5, lower = v >= 0.5;
    return ((lit & 0x01) && top) || ((lit & 0x02) && right && upper) || ((lit & 0x04) && right && lower) ||
           ((lit & 0x08) && bottom) || ((lit & 0x10) && left && lower) || ((lit & 0x20) && left && upper) ||
           ((lit & 0x40) && middle);
}

}  // namespace

Image demoPicture(int number, ImageSize size) {
    Image image{size.width, size.height,
                std::vector<std::uint8_t>(static_cast<std::size_t>(size.width) * size.height * 3)};
    // Golden-angle steps give neighbouring numbers clearly different colours.
    const double h = std::fmod(number * 0.381966, 1.0);
    const Rgb from = hue(h), to = hue(h + 0.45), accent = hue(h + 0.2);
    const int kind = number % 4;
    const double angle = number * 0.7, cx = std::cos(angle), sy = std::sin(angle);
    const double w = size.width, hgt = size.height, diag = std::hypot(w, hgt);

    const std::string label = std::to_string(number);
    const double cellH = hgt * 0.22, cellW = cellH * 0.55, gap = cellW * 0.3;
    const double labelX = w * 0.05, labelY = hgt * 0.07;

    for (int y = 0; y < size.height; ++y) {
        std::uint8_t* row = image.row(y);
        for (int x = 0; x < size.width; ++x) {
            const double nx = x / w - 0.5, ny = y / hgt - 0.5;
            double t = 0;
            switch (kind) {
            case 0: t = 0.5 + (nx * cx + ny * sy); break;                                             // linear ramp
            case 1: t = std::min(1.0, std::hypot(x - w * 0.6, y - hgt * 0.4) / (diag * 0.6)); break;  // radial
            case 2: t = 0.5 + 0.5 * std::sin(std::hypot(nx, ny) * (20 + number % 7 * 4)); break;      // rings
            default: t = 0.5 + 0.25 * (std::sin((nx * cx - ny * sy) * 30) + std::sin(nx * 9 + ny * 14)); break;
            }
            Rgb c = mix(from, to, std::clamp(t, 0.0, 1.0));
            if (kind == 3) c = mix(c, accent, 0.3 * (0.5 + 0.5 * std::sin(ny * 40 + number)));
            const double lx = x - labelX, ly = y - labelY;
            if (ly >= 0 && ly < cellH && lx >= 0) {
                const auto cell = static_cast<std::size_t>(lx / (cellW + gap));
                const double u = (lx - cell * (cellW + gap)) / cellW;
                if (cell < label.size() && u < 1 && onDigit(label[cell] - '0', u, ly / cellH)) c = {1, 1, 1};
            }
            row[3 * x] = static_cast<std::uint8_t>(std::lround(c.b * 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::lround(c.g * 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::lround(c.r * 255));
        }
    }
    return image;
}

bool writeDemoPictures(const fs::path& folder, int count, std::ostream& log) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        log << "cannot create " << folder.string() << ": " << ec.message() << '\n';
        return false;
    }
    const auto now = fs::file_time_type::clock::now();
    for (int number = 1; number <= count; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "demo-%03d.jpg", number);
        const fs::path path = folder / name;
        const auto bytes = encodeBaselineJpeg(demoPicture(number), 88);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (bytes) out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
        out.close();
        if (!bytes || !out) {
            log << "cannot write " << path.string() << '\n';
            return false;
        }
        fs::last_write_time(path, now - std::chrono::hours(6) * (number - 1), ec);
        if (ec) {
            log << "cannot date " << path.string() << ": " << ec.message() << '\n';
            return false;
        }
    }
    return true;
}

}  // namespace ostrel::catalogue
