#include "IconImage.h"

#include <algorithm>
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

// One image as rows of red, green, blue, alpha, top row first, straight (not premultiplied) alpha.
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
            pixel[0] = static_cast<unsigned char>(Mix(shade.r, 255, barCover, kSamples));
            pixel[1] = static_cast<unsigned char>(Mix(shade.g, 255, barCover, kSamples));
            pixel[2] = static_cast<unsigned char>(Mix(shade.b, 255, barCover, kSamples));
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

// One small icon image as the file stores it: a bitmap header for twice the height, the colour
// rows bottom up in blue, green, red, alpha order, then the 1-bit transparency mask, each mask
// row padded to four bytes.
std::vector<unsigned char> EncodeBitmap(int size, const std::vector<unsigned char>& pixels) {
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
        for (int x = 0; x < size; ++x) {
            const unsigned char* pixel = &pixels[(static_cast<std::size_t>(y) * size + x) * 4];
            out.insert(out.end(), {pixel[2], pixel[1], pixel[0], pixel[3]});
        }
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

// The PNG for the large image. Its pixel data is compressed here rather than by a library: one
// DEFLATE block with the fixed Huffman codes, fed by a greedy LZ77 search. The icon is flat
// enough that this comes within a few KB, and the output depends only on the input.

void PutBigLong(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>((value >> shift) & 0xff));
}

// CRC-32 as PNG uses it (reflected, polynomial 0xedb88320), over the chunk type and data.
std::uint32_t Crc32(const unsigned char* data, std::size_t count) {
    static const auto table = [] {
        std::vector<std::uint32_t> entries(256);
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < count; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

std::uint32_t Adler32(const std::vector<unsigned char>& data) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// Bits go into each byte from its lowest bit up; Huffman codes go in from their highest bit.
class BitWriter {
public:
    void Put(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) PutBit((value >> i) & 1);
    }
    void PutCode(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) PutBit((code >> i) & 1);
    }
    std::vector<unsigned char> Finish() { return std::move(bytes_); }

private:
    void PutBit(std::uint32_t bit) {
        if (used_ == 0) bytes_.push_back(0);
        bytes_.back() |= static_cast<unsigned char>(bit << used_);
        used_ = (used_ + 1) % 8;
    }
    std::vector<unsigned char> bytes_;
    int used_ = 0;
};

// A literal/length symbol in the fixed code.
void PutSymbol(BitWriter& bits, int symbol) {
    if (symbol < 144) bits.PutCode(0x30 + symbol, 8);
    else if (symbol < 256) bits.PutCode(0x190 + (symbol - 144), 9);
    else if (symbol < 280) bits.PutCode(symbol - 256, 7);
    else bits.PutCode(0xc0 + (symbol - 280), 8);
}

constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                   193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// A match: the length symbol and its extra bits, then the distance code and its extra bits.
void PutMatch(BitWriter& bits, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length) --l;
    PutSymbol(bits, 257 + l);
    bits.Put(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    bits.PutCode(static_cast<std::uint32_t>(d), 5);
    bits.Put(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// A zlib stream of the data: header, one final fixed-code block, Adler-32 of the data.
std::vector<unsigned char> Compress(const std::vector<unsigned char>& data) {
    constexpr std::ptrdiff_t kWindow = 32768, kMinMatch = 3, kMaxMatch = 258;
    constexpr int kHashBits = 15, kMaxChain = 64;
    const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(data.size());
    // The latest position for each hash of three bytes, and for each position in the window the
    // one before it with the same hash; -1 for none.
    std::vector<std::ptrdiff_t> head(std::size_t{1} << kHashBits, -1), previous(kWindow, -1);
    const auto hash = [&](std::ptrdiff_t at) {
        const std::uint32_t three = static_cast<std::uint32_t>(data[at]) << 16 | data[at + 1] << 8 | data[at + 2];
        return (three * 2654435761u) >> (32 - kHashBits);
    };
    const auto remember = [&](std::ptrdiff_t at) {
        if (at + kMinMatch > count) return;
        const std::uint32_t h = hash(at);
        previous[at % kWindow] = head[h];
        head[h] = at;
    };

    BitWriter bits;
    bits.Put(1, 1);  // the last block
    bits.Put(1, 2);  // fixed Huffman codes
    std::ptrdiff_t at = 0;
    while (at < count) {
        std::ptrdiff_t bestLength = 0, bestDistance = 0;
        if (at + kMinMatch <= count) {
            const std::ptrdiff_t longest = std::min(kMaxMatch, count - at);
            std::ptrdiff_t candidate = head[hash(at)];
            for (int chain = 0; candidate >= 0 && at - candidate <= kWindow && chain < kMaxChain; ++chain) {
                std::ptrdiff_t length = 0;
                while (length < longest && data[candidate + length] == data[at + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = at - candidate;
                    if (length == longest) break;
                }
                candidate = previous[candidate % kWindow];
            }
        }
        if (bestLength >= kMinMatch) {
            PutMatch(bits, static_cast<int>(bestLength), static_cast<int>(bestDistance));
            for (std::ptrdiff_t i = 0; i < bestLength; ++i) remember(at + i);
            at += bestLength;
        } else {
            PutSymbol(bits, data[at]);
            remember(at);
            ++at;
        }
    }
    PutSymbol(bits, 256);  // end of block

    std::vector<unsigned char> out = {0x78, 0x9c};  // DEFLATE, 32 KB window, no dictionary
    const std::vector<unsigned char> block = bits.Finish();
    out.insert(out.end(), block.begin(), block.end());
    PutBigLong(out, Adler32(data));
    return out;
}

void PutChunk(std::vector<unsigned char>& png, const char* type, const std::vector<unsigned char>& data) {
    PutBigLong(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBigLong(png, Crc32(&png[start], png.size() - start));
}

}  // namespace

std::vector<unsigned char> MakeHexaluneIcon() {
    constexpr std::size_t count = sizeof(kLayouts) / sizeof(kLayouts[0]);
    std::vector<std::vector<unsigned char>> images;
    for (const Layout& layout : kLayouts) {
        // Windows takes the 256 px image as a PNG, which keeps the file (and the program) small.
        const std::vector<unsigned char> pixels = DrawImage(layout);
        images.push_back(layout.size >= 256 ? EncodePng(layout.size, layout.size, pixels)
                                            : EncodeBitmap(layout.size, pixels));
    }

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

std::vector<unsigned char> DrawHexaluneIcon(int size) {
    for (const Layout& layout : kLayouts) {
        if (layout.size == size) return DrawImage(layout);
    }
    return {};
}

std::vector<unsigned char> EncodePng(int width, int height, const std::vector<unsigned char>& rgba) {
    // Each row goes in behind a filter byte. Of None, Sub (less the pixel to the left) and Up
    // (less the pixel above), each row takes the one whose bytes, read as signed numbers, are
    // smallest in size all told: on flat ground and smooth gradients that leaves mostly zeros.
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    std::vector<unsigned char> filtered;
    filtered.reserve((stride + 1) * static_cast<std::size_t>(height));
    const std::vector<unsigned char> blank(stride, 0);
    std::vector<unsigned char> best(stride), trial(stride);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = &rgba[static_cast<std::size_t>(y) * stride];
        const unsigned char* above = y == 0 ? blank.data() : row - stride;
        long bestCost = -1;
        int bestFilter = 0;
        for (int filter = 0; filter <= 2; ++filter) {
            long cost = 0;
            for (std::size_t i = 0; i < stride; ++i) {
                const int before = filter == 0 ? 0 : filter == 1 ? (i >= 4 ? row[i - 4] : 0) : above[i];
                trial[i] = static_cast<unsigned char>(row[i] - before);
                cost += trial[i] < 128 ? trial[i] : 256 - trial[i];
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                bestFilter = filter;
                best.swap(trial);
            }
        }
        filtered.push_back(static_cast<unsigned char>(bestFilter));
        filtered.insert(filtered.end(), best.begin(), best.end());
    }

    std::vector<unsigned char> header;
    PutBigLong(header, static_cast<std::uint32_t>(width));
    PutBigLong(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits a channel, RGBA, deflate, row filters, no interlace

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Compress(filtered));
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace hexalune
