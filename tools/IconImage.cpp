#include "IconImage.h"

#include <cstddef>
#include <cstdint>

// The icon is a rounded square in a deep indigo that turns to plum towards the bottom, with a
// white hexagram on it: six bars, the broken ones with a gap in the middle, and a little more
// room between the lower and the upper trigram. Every size has its own layout in whole pixels
// so that the bars land on pixel rows and stay sharp; only curved edges are smoothed, by
// sampling each pixel on a grid. Everything is integer arithmetic, so the file comes out the
// same with any compiler.

namespace hexalune {
namespace {

// How one size is laid out, in pixels.
struct Layout {
    int size;
    int inset;        // empty border around the ground
    int radius;       // corner radius of the ground
    int bar;          // thickness of one bar
    int gap;          // space between two bars of the same trigram
    int middleGap;    // space between the two trigrams
    int barWidth;     // length of a whole bar
    int breakWidth;   // the gap in a broken bar
    int barRadius;    // corner radius of the bars (0 for square ends)
};

// Hand-tuned for each size: thin bars on one-pixel rows at the small sizes, broader ones above.
constexpr Layout kLayouts[] = {
    {16, 0, 3, 1, 1, 2, 10, 2, 0},
    {20, 0, 4, 1, 2, 2, 12, 2, 0},
    {24, 1, 4, 2, 1, 2, 14, 2, 0},
    {32, 1, 6, 2, 2, 4, 20, 4, 0},
    {48, 2, 9, 3, 3, 4, 30, 6, 0},
    {256, 8, 48, 18, 12, 18, 160, 28, 3},
};

static_assert(sizeof(kLayouts) / sizeof(kLayouts[0]) == sizeof(kIconSizes) / sizeof(kIconSizes[0]));

// Hexagram 63, After Completion, read from the top down: the lines alternate, broken at the top
// and firm at the bottom.
constexpr bool kBroken[6] = {true, false, true, false, true, false};

// The ground's colours at its top and bottom edges.
struct Rgb {
    int r, g, b;
};
constexpr Rgb kGroundTop = {0x33, 0x22, 0x7a};
constexpr Rgb kGroundBottom = {0x6e, 0x24, 0x6c};

// Samples per pixel along each axis.
constexpr int kGrid = 8;
constexpr int kSamples = kGrid * kGrid;

// A rectangle with rounded corners in whole pixels: [left, right) x [top, bottom).
struct RoundRect {
    int left, top, right, bottom, radius;
};

// Whether a sample point lies inside the shape. Sample coordinates are in units of
// 1/(2*kGrid) pixel, so that sample centres fall on odd numbers and never on an edge.
bool Contains(const RoundRect& shape, std::int64_t x, std::int64_t y) {
    const std::int64_t unit = 2 * kGrid;
    const std::int64_t left = shape.left * unit, right = shape.right * unit;
    const std::int64_t top = shape.top * unit, bottom = shape.bottom * unit;
    if (x < left || x >= right || y < top || y >= bottom) return false;
    const std::int64_t radius = shape.radius * unit;
    if (radius == 0) return true;
    std::int64_t dx = 0, dy = 0;
    if (x < left + radius) dx = left + radius - x;
    else if (x > right - radius) dx = x - (right - radius);
    if (y < top + radius) dy = top + radius - y;
    else if (y > bottom - radius) dy = y - (bottom - radius);
    return dx * dx + dy * dy <= radius * radius;
}

// How many of a pixel's kSamples samples fall inside any of the shapes.
int Coverage(const std::vector<RoundRect>& shapes, int px, int py) {
    int count = 0;
    for (int j = 0; j < kGrid; ++j) {
        const std::int64_t y = 2 * (static_cast<std::int64_t>(py) * kGrid + j) + 1;
        for (int i = 0; i < kGrid; ++i) {
            const std::int64_t x = 2 * (static_cast<std::int64_t>(px) * kGrid + i) + 1;
            for (const RoundRect& shape : shapes) {
                if (Contains(shape, x, y)) {
                    ++count;
                    break;
                }
            }
        }
    }
    return count;
}

// The six bars of the figure as rectangles, centred on the icon.
std::vector<RoundRect> Bars(const Layout& layout) {
    std::vector<RoundRect> bars;
    const int height = 6 * layout.bar + 4 * layout.gap + layout.middleGap;
    const int left = (layout.size - layout.barWidth) / 2;
    const int right = left + layout.barWidth;
    const int half = (layout.barWidth - layout.breakWidth) / 2;
    int top = (layout.size - height) / 2;
    for (int line = 0; line < 6; ++line) {
        const int bottom = top + layout.bar;
        if (kBroken[line]) {
            bars.push_back({left, top, left + half, bottom, layout.barRadius});
            bars.push_back({right - half, top, right, bottom, layout.barRadius});
        } else {
            bars.push_back({left, top, right, bottom, layout.barRadius});
        }
        top = bottom + (line == 2 ? layout.middleGap : layout.gap);
    }
    return bars;
}

int Mix(int from, int to, int amount, int total) { return (from * (total - amount) + to * amount + total / 2) / total; }

// One image as rows of blue, green, red, alpha, top row first, straight (not premultiplied) alpha.
std::vector<unsigned char> DrawImage(const Layout& layout) {
    const int size = layout.size;
    const std::vector<RoundRect> ground = {
        {layout.inset, layout.inset, size - layout.inset, size - layout.inset, layout.radius}};
    const std::vector<RoundRect> bars = Bars(layout);
    const int groundHeight = size - 2 * layout.inset;

    std::vector<unsigned char> pixels(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        // The gradient runs through the ground's height, measured at pixel centres.
        int along = 2 * (y - layout.inset) + 1;
        if (along < 0) along = 0;
        if (along > 2 * groundHeight) along = 2 * groundHeight;
        const Rgb shade = {Mix(kGroundTop.r, kGroundBottom.r, along, 2 * groundHeight),
                           Mix(kGroundTop.g, kGroundBottom.g, along, 2 * groundHeight),
                           Mix(kGroundTop.b, kGroundBottom.b, along, 2 * groundHeight)};
        for (int x = 0; x < size; ++x) {
            const int groundCover = Coverage(ground, x, y);
            const int barCover = groundCover == 0 ? 0 : Coverage(bars, x, y);
            unsigned char* pixel = &pixels[(static_cast<std::size_t>(y) * size + x) * 4];
            pixel[0] = static_cast<unsigned char>(Mix(shade.b, 255, barCover, kSamples));
            pixel[1] = static_cast<unsigned char>(Mix(shade.g, 255, barCover, kSamples));
            pixel[2] = static_cast<unsigned char>(Mix(shade.r, 255, barCover, kSamples));
            pixel[3] = static_cast<unsigned char>(Mix(0, 255, groundCover, kSamples));
        }
    }
    return pixels;
}

void PutWord(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xff));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xff));
}

void PutLong(std::vector<unsigned char>& out, std::uint32_t value) {
    PutWord(out, value & 0xffff);
    PutWord(out, (value >> 16) & 0xffff);
}

// One icon image as the file stores it: a bitmap header for twice the height, the colour
// rows bottom up, then the 1-bit transparency mask, each mask row padded to four bytes.
std::vector<unsigned char> EncodeImage(int size, const std::vector<unsigned char>& pixels) {
    const std::size_t maskStride = ((static_cast<std::size_t>(size) + 31) / 32) * 4;
    const std::size_t colourBytes = static_cast<std::size_t>(size) * size * 4;
    const std::size_t maskBytes = maskStride * size;

    std::vector<unsigned char> out;
    out.reserve(40 + colourBytes + maskBytes);
    PutLong(out, 40);                                       // header size
    PutLong(out, static_cast<std::uint32_t>(size));         // width
    PutLong(out, static_cast<std::uint32_t>(2 * size));     // height of colour plus mask
    PutWord(out, 1);                                        // planes
    PutWord(out, 32);                                       // bits per pixel
    PutLong(out, 0);                                        // no compression
    PutLong(out, static_cast<std::uint32_t>(colourBytes + maskBytes));
    PutLong(out, 0);
    PutLong(out, 0);
    PutLong(out, 0);
    PutLong(out, 0);

    for (int y = size - 1; y >= 0; --y) {
        const auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * size * 4;
        out.insert(out.end(), row, row + static_cast<std::ptrdiff_t>(size) * 4);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<unsigned char> mask(maskStride, 0);
        for (int x = 0; x < size; ++x) {
            if (pixels[(static_cast<std::size_t>(y) * size + x) * 4 + 3] == 0) {
                mask[static_cast<std::size_t>(x) / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

}  // namespace

std::vector<unsigned char> MakeHexaluneIcon() {
    constexpr std::size_t count = sizeof(kLayouts) / sizeof(kLayouts[0]);
    std::vector<std::vector<unsigned char>> images;
    for (const Layout& layout : kLayouts) images.push_back(EncodeImage(layout.size, DrawImage(layout)));

    std::vector<unsigned char> file;
    PutWord(file, 0);  // reserved
    PutWord(file, 1);  // an icon, not a cursor
    PutWord(file, static_cast<unsigned>(count));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const int size = kLayouts[i].size;
        file.push_back(static_cast<unsigned char>(size >= 256 ? 0 : size));  // 0 stands for 256
        file.push_back(static_cast<unsigned char>(size >= 256 ? 0 : size));
        file.push_back(0);  // no palette
        file.push_back(0);  // reserved
        PutWord(file, 1);   // planes
        PutWord(file, 32);  // bits per pixel
        PutLong(file, static_cast<std::uint32_t>(images[i].size()));
        PutLong(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    return file;
}

}  // namespace hexalune
