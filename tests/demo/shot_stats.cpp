// Reads a screenshot in X window dump format (xwd -root) and prints the few
// figures that the demo's end-to-end checks judge by, one "name value" per line:
//
//   width, height     the image's size
//   centre_lit        per mille of the central third (each axis) that is not black
//   black             per mille of the image outside the text box that is black
//   text_white        white pixels inside the text box (the top-left quarter of the
//                     width, tenth of the height)
//   stray_white       white pixels outside the text box
//   text_right        the rightmost column with a white pixel in the text box, -1
//   lit_x, lit_y      centroid of the non-black pixels outside the text box, in
//                     pixels (-1 when there are none)
//
//   shot_stats FILE
//   shot_stats --text-diff FILE_A FILE_B   pixels of the text box that are white in
//                                          one image and not in the other
//   shot_stats --mask-diff FILE_A FILE_B   per mille of the pixels outside the text
//                                          box that are black in one image and not
//                                          in the other (the scene's outline moved)
//
// Black is every channel at most 4 (the clear colour is 0; the planet's unlit side
// still gets the scene's ambient light, about 10). White is every channel at least
// 250: the lit planet stays below about 215, so only the text reaches it.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows top-down

    const std::uint8_t* at(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)) * 3];
    }
    bool black(int x, int y) const {
        const std::uint8_t* p = at(x, y);
        return p[0] <= 4 && p[1] <= 4 && p[2] <= 4;
    }
    bool white(int x, int y) const {
        const std::uint8_t* p = at(x, y);
        return p[0] >= 250 && p[1] >= 250 && p[2] >= 250;
    }
    bool inTextBox(int x, int y) const { return x < width / 4 && y < height / 10; }
};

std::uint32_t bigEndian(const std::vector<std::uint8_t>& data, std::size_t offset) {
    return std::uint32_t{data[offset]} << 24 | std::uint32_t{data[offset + 1]} << 16 |
           std::uint32_t{data[offset + 2]} << 8 | std::uint32_t{data[offset + 3]};
}

int shift(std::uint32_t mask) {
    int s = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

bool load(const char* path, Image* image, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    if (data.size() < 100) {
        *error = "not a window dump (too short)";
        return false;
    }
    auto field = [&](int index) { return bigEndian(data, static_cast<std::size_t>(index) * 4); };
    const std::uint32_t headerSize = field(0), version = field(1), format = field(2);
    const std::uint32_t width = field(4), height = field(5), byteOrder = field(7);
    const std::uint32_t bitsPerPixel = field(11), bytesPerLine = field(12);
    const std::uint32_t redMask = field(14), greenMask = field(15), blueMask = field(16);
    const std::uint32_t colours = field(19);
    if (version != 7 || format != 2 /* ZPixmap */ || (bitsPerPixel != 32 && bitsPerPixel != 24)) {
        *error = "unsupported window dump (want version 7, ZPixmap, 24 or 32 bits a pixel)";
        return false;
    }
    const std::size_t start = std::size_t{headerSize} + std::size_t{colours} * 12;
    const std::size_t bytes = bitsPerPixel / 8;
    if (width == 0 || height == 0 || bytesPerLine < width * bytes ||
        data.size() < start + std::size_t{bytesPerLine} * height) {
        *error = "truncated window dump";
        return false;
    }
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->rgb.resize(std::size_t{width} * height * 3);
    const int rs = shift(redMask), gs = shift(greenMask), bs = shift(blueMask);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = &data[start + std::size_t{y} * bytesPerLine + x * bytes];
            std::uint32_t pixel = 0;
            for (std::size_t b = 0; b < bytes; ++b) {
                const std::size_t k = byteOrder == 0 ? bytes - 1 - b : b;  // 0: LSB first
                pixel = pixel << 8 | p[k];
            }
            std::uint8_t* out = &image->rgb[(std::size_t{y} * width + x) * 3];
            out[0] = static_cast<std::uint8_t>((pixel & redMask) >> rs);
            out[1] = static_cast<std::uint8_t>((pixel & greenMask) >> gs);
            out[2] = static_cast<std::uint8_t>((pixel & blueMask) >> bs);
        }
    }
    return true;
}

void printStats(const Image& im) {
    long centre = 0, centreLit = 0, outside = 0, black = 0, textWhite = 0, stray = 0;
    long lit = 0;
    double sumX = 0, sumY = 0;
    int textRight = -1;
    for (int y = 0; y < im.height; ++y) {
        for (int x = 0; x < im.width; ++x) {
            const bool isBlack = im.black(x, y);
            if (x >= im.width / 3 && x < 2 * im.width / 3 && y >= im.height / 3 &&
                y < 2 * im.height / 3) {
                ++centre;
                centreLit += isBlack ? 0 : 1;
            }
            if (im.inTextBox(x, y)) {
                if (im.white(x, y)) {
                    ++textWhite;
                    if (x > textRight) textRight = x;
                }
                continue;
            }
            ++outside;
            if (im.white(x, y)) ++stray;
            if (isBlack) {
                ++black;
            } else {
                ++lit;
                sumX += x;
                sumY += y;
            }
        }
    }
    std::printf("width %d\nheight %d\n", im.width, im.height);
    std::printf("centre_lit %ld\nblack %ld\n", centre ? centreLit * 1000 / centre : 0,
                outside ? black * 1000 / outside : 0);
    std::printf("text_white %ld\nstray_white %ld\ntext_right %d\n", textWhite, stray, textRight);
    std::printf("lit_x %ld\nlit_y %ld\n", lit ? static_cast<long>(sumX / lit) : -1L,
                lit ? static_cast<long>(sumY / lit) : -1L);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (argc == 2) {
        Image image;
        if (!load(argv[1], &image, &error)) {
            std::fprintf(stderr, "shot_stats: %s: %s\n", argv[1], error.c_str());
            return 1;
        }
        printStats(image);
        return 0;
    }
    const bool textDiff = argc == 4 && std::strcmp(argv[1], "--text-diff") == 0;
    const bool maskDiff = argc == 4 && std::strcmp(argv[1], "--mask-diff") == 0;
    if (textDiff || maskDiff) {
        Image a, b;
        if (!load(argv[2], &a, &error) || !load(argv[3], &b, &error)) {
            std::fprintf(stderr, "shot_stats: %s\n", error.c_str());
            return 1;
        }
        if (a.width != b.width || a.height != b.height) {
            std::fprintf(stderr, "shot_stats: the images differ in size\n");
            return 1;
        }
        long differ = 0, outside = 0;
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                if (a.inTextBox(x, y)) {
                    if (textDiff) differ += a.white(x, y) != b.white(x, y) ? 1 : 0;
                } else {
                    ++outside;
                    if (maskDiff) differ += a.black(x, y) != b.black(x, y) ? 1 : 0;
                }
            }
        }
        std::printf("%ld\n", maskDiff ? (outside ? differ * 1000 / outside : 0) : differ);
        return 0;
    }
    std::fprintf(stderr, "usage: shot_stats FILE | shot_stats --text-diff|--mask-diff FILE_A FILE_B\n");
    return 2;
}
