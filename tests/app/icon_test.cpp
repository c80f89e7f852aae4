#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/IconImage.h"

namespace {

constexpr int kExpectedSizes[] = {16, 20, 24, 32, 48, 256};
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

using Bytes = std::vector<unsigned char>;

unsigned ReadWord(const Bytes& data, std::size_t at) {
    return static_cast<unsigned>(data.at(at)) | static_cast<unsigned>(data.at(at + 1)) << 8;
}

std::uint32_t ReadLong(const Bytes& data, std::size_t at) {
    return ReadWord(data, at) | static_cast<std::uint32_t>(ReadWord(data, at + 2)) << 16;
}

std::uint32_t ReadBigLong(const Bytes& data, std::size_t at) {
    return static_cast<std::uint32_t>(data.at(at)) << 24 | static_cast<std::uint32_t>(data.at(at + 1)) << 16 |
           static_cast<std::uint32_t>(data.at(at + 2)) << 8 | data.at(at + 3);
}

// The generator's file, made once: drawing the large image takes a while in a debug build.
const Bytes& Icon() {
    static const Bytes icon = hexalune::MakeHexaluneIcon();
    return icon;
}

// One image of the file as it is listed in the directory.
struct Entry {
    int size;
    std::size_t offset;
    std::size_t bytes;
};

std::vector<Entry> Directory(const Bytes& icon) {
    std::vector<Entry> entries;
    const unsigned count = ReadWord(icon, 4);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t at = 6 + 16 * static_cast<std::size_t>(i);
        const int width = icon.at(at) == 0 ? 256 : icon.at(at);
        entries.push_back({width, ReadLong(icon, at + 12), ReadLong(icon, at + 8)});
    }
    return entries;
}

bool IsPng(const Bytes& icon, const Entry& entry) {
    if (entry.bytes < sizeof(kPngSignature) || entry.offset + entry.bytes > icon.size()) return false;
    return std::equal(std::begin(kPngSignature), std::end(kPngSignature), icon.begin() + static_cast<std::ptrdiff_t>(entry.offset));
}

// A PNG reader of its own, written from the file format and sharing nothing with the encoder:
// it checks every CRC, the zlib header and Adler-32, inflates stored and fixed-code blocks
// (the encoder has no business writing anything else), and undoes all five row filters.
// Anything wrong throws.

std::uint32_t Crc32(const Bytes& data, std::size_t from, std::size_t to) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = from; i < to; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::uint32_t Adler32(const Bytes& data) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

class Inflater {
public:
    Inflater(const Bytes& data, std::size_t from, std::size_t to) : data_(data), at_(from), end_(to) {}

    Bytes Run() {
        bool last = false;
        while (!last) {
            last = Bits(1) == 1;
            switch (Bits(2)) {
                case 0: Stored(); break;
                case 1: Fixed(); break;
                default: throw std::runtime_error("block type other than stored or fixed codes");
            }
        }
        if (bit_ != 0) ++at_;  // the stream ends on a byte boundary
        return std::move(out_);
    }

    std::size_t Position() const { return at_; }

private:
    unsigned Bit() {
        if (at_ >= end_) throw std::runtime_error("compressed data runs out");
        const unsigned bit = (data_[at_] >> bit_) & 1;
        if (++bit_ == 8) {
            bit_ = 0;
            ++at_;
        }
        return bit;
    }
    unsigned Bits(int count) {  // lowest bit first
        unsigned value = 0;
        for (int i = 0; i < count; ++i) value |= Bit() << i;
        return value;
    }
    unsigned Code(int count) {  // highest bit first
        unsigned value = 0;
        for (int i = 0; i < count; ++i) value = value << 1 | Bit();
        return value;
    }

    void Stored() {
        if (bit_ != 0) {
            bit_ = 0;
            ++at_;
        }
        const unsigned length = Bits(16), check = Bits(16);
        if ((length ^ 0xffffu) != check) throw std::runtime_error("stored block length and its complement disagree");
        for (unsigned i = 0; i < length; ++i) out_.push_back(static_cast<unsigned char>(Bits(8)));
    }

    // Literal/length symbols: 7-bit codes for 256-279, 8-bit for 0-143 and 280-287, 9-bit for 144-255.
    int Symbol() {
        unsigned code = Code(7);
        if (code <= 0x17) return 256 + static_cast<int>(code);
        code = code << 1 | Bit();
        if (code >= 0x30 && code <= 0xbf) return static_cast<int>(code - 0x30);
        if (code >= 0xc0 && code <= 0xc7) return 280 + static_cast<int>(code - 0xc0);
        code = code << 1 | Bit();
        return 144 + static_cast<int>(code - 0x190);
    }

    void Fixed() {
        static constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr int kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                  33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                  1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        for (;;) {
            const int symbol = Symbol();
            if (symbol < 256) {
                out_.push_back(static_cast<unsigned char>(symbol));
                continue;
            }
            if (symbol == 256) return;
            const int l = symbol - 257;
            if (l >= 29) throw std::runtime_error("length symbol out of range");
            const int lengthExtra = (l < 8 || l == 28) ? 0 : (l - 4) / 4;
            const std::size_t length = static_cast<std::size_t>(kLengthBase[l]) + Bits(lengthExtra);
            const unsigned d = Code(5);
            if (d >= 30) throw std::runtime_error("distance code out of range");
            const int distanceExtra = d < 4 ? 0 : static_cast<int>(d / 2 - 1);
            const std::size_t distance = static_cast<std::size_t>(kDistanceBase[d]) + Bits(distanceExtra);
            if (distance > out_.size() || distance > 32768) throw std::runtime_error("match reaches back too far");
            for (std::size_t i = 0; i < length; ++i) out_.push_back(out_[out_.size() - distance]);
        }
    }

    const Bytes& data_;
    std::size_t at_, end_;
    int bit_ = 0;
    Bytes out_;
};

struct Image {
    int width = 0, height = 0;
    Bytes rgba;  // rows of red, green, blue, alpha, top row first
};

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return (pa <= pb && pa <= pc) ? a : pb <= pc ? b : c;
}

// Decodes the 8-bit RGBA PNG in data[from, from + bytes).
Image DecodePng(const Bytes& data, std::size_t from, std::size_t bytes) {
    const std::size_t end = from + bytes;
    if (end > data.size() || bytes < 8 || !std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin() + static_cast<std::ptrdiff_t>(from)))
        throw std::runtime_error("no PNG signature");
    Image image;
    Bytes idat;
    bool sawHeader = false, sawEnd = false;
    for (std::size_t at = from + 8; at < end;) {
        if (sawEnd) throw std::runtime_error("data after IEND");
        if (at + 12 > end) throw std::runtime_error("truncated chunk");
        const std::size_t length = ReadBigLong(data, at);
        if (at + 12 + length > end) throw std::runtime_error("chunk runs past the image");
        const std::string type(data.begin() + static_cast<std::ptrdiff_t>(at + 4), data.begin() + static_cast<std::ptrdiff_t>(at + 8));
        if (Crc32(data, at + 4, at + 8 + length) != ReadBigLong(data, at + 8 + length))
            throw std::runtime_error("bad CRC on " + type);
        const std::size_t body = at + 8;
        if (type == "IHDR") {
            if (sawHeader || at != from + 8 || length != 13) throw std::runtime_error("misplaced or odd IHDR");
            sawHeader = true;
            image.width = static_cast<int>(ReadBigLong(data, body));
            image.height = static_cast<int>(ReadBigLong(data, body + 4));
            // 8 bits, RGBA, deflate, the one filter method, not interlaced.
            if (data[body + 8] != 8 || data[body + 9] != 6 || data[body + 10] != 0 || data[body + 11] != 0 || data[body + 12] != 0)
                throw std::runtime_error("not a plain 8-bit RGBA image");
        } else if (type == "IDAT") {
            if (!sawHeader) throw std::runtime_error("IDAT before IHDR");
            idat.insert(idat.end(), data.begin() + static_cast<std::ptrdiff_t>(body), data.begin() + static_cast<std::ptrdiff_t>(body + length));
        } else if (type == "IEND") {
            if (length != 0) throw std::runtime_error("IEND with data");
            sawEnd = true;
        } else if (type[0] >= 'A' && type[0] <= 'Z') {
            throw std::runtime_error("unknown critical chunk " + type);
        }
        at += 12 + length;
    }
    if (!sawHeader || !sawEnd || idat.empty()) throw std::runtime_error("IHDR, IDAT or IEND missing");

    // zlib: deflate with a window of at most 32 KB, a header that is a multiple of 31, no dictionary.
    if (idat.size() < 6 || (idat[0] & 0x0f) != 8 || (idat[0] >> 4) > 7 || ((idat[0] << 8) | idat[1]) % 31 != 0 || (idat[1] & 0x20) != 0)
        throw std::runtime_error("bad zlib header");
    Inflater inflater(idat, 2, idat.size());
    const Bytes filtered = inflater.Run();
    if (inflater.Position() + 4 != idat.size()) throw std::runtime_error("zlib stream does not end with its checksum");
    if (ReadBigLong(idat, inflater.Position()) != Adler32(filtered)) throw std::runtime_error("bad Adler-32");

    const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
    if (filtered.size() != (stride + 1) * static_cast<std::size_t>(image.height))
        throw std::runtime_error("pixel data of the wrong size");
    image.rgba.assign(stride * static_cast<std::size_t>(image.height), 0);
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* in = &filtered[static_cast<std::size_t>(y) * (stride + 1)];
        unsigned char* row = &image.rgba[static_cast<std::size_t>(y) * stride];
        const unsigned char* above = y > 0 ? row - stride : nullptr;
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= 4 ? row[i - 4] : 0, b = above ? above[i] : 0, c = (i >= 4 && above) ? above[i - 4] : 0;
            int predicted = 0;
            switch (in[0]) {
                case 0: predicted = 0; break;
                case 1: predicted = a; break;
                case 2: predicted = b; break;
                case 3: predicted = (a + b) / 2; break;
                case 4: predicted = Paeth(a, b, c); break;
                default: throw std::runtime_error("unknown row filter");
            }
            row[i] = static_cast<unsigned char>(in[1 + i] + predicted);
        }
    }
    return image;
}

// Any image of the file as RGBA rows, top row first: a bitmap turned round, or a PNG decoded.
Image Pixels(const Bytes& icon, const Entry& entry) {
    if (IsPng(icon, entry)) return DecodePng(icon, entry.offset, entry.bytes);
    Image image{entry.size, entry.size, Bytes(static_cast<std::size_t>(entry.size) * entry.size * 4)};
    for (int y = 0; y < entry.size; ++y) {
        for (int x = 0; x < entry.size; ++x) {
            const std::size_t stored = entry.offset + 40 + (static_cast<std::size_t>(entry.size - 1 - y) * entry.size + x) * 4;
            unsigned char* pixel = &image.rgba[(static_cast<std::size_t>(y) * entry.size + x) * 4];
            pixel[0] = icon.at(stored + 2);
            pixel[1] = icon.at(stored + 1);
            pixel[2] = icon.at(stored);
            pixel[3] = icon.at(stored + 3);
        }
    }
    return image;
}

// Whether the pixel at (x, y), counted from the top left, is opaque white.
bool IsWhite(const Image& image, int x, int y) {
    const unsigned char* pixel = &image.rgba.at((static_cast<std::size_t>(y) * image.width + x) * 4);
    return pixel[0] >= 224 && pixel[1] >= 224 && pixel[2] >= 224 && pixel[3] == 255;
}

// How many separate white stretches a vertical line through column x crosses.
int WhiteRunsInColumn(const Image& image, int x) {
    int runs = 0;
    bool inside = false;
    for (int y = 0; y < image.height; ++y) {
        const bool white = IsWhite(image, x, y);
        if (white && !inside) ++runs;
        inside = white;
    }
    return runs;
}

// Encodes and decodes again, failing the test on any complaint from the reader.
void ExpectRoundTrip(int width, int height, const Bytes& rgba) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    const Bytes png = hexalune::EncodePng(width, height, rgba);
    try {
        const Image image = DecodePng(png, 0, png.size());
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        EXPECT_TRUE(image.rgba == rgba);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
}

TEST(IconTest, ListsSmallBitmapsAndALargePng) {
    const Bytes& icon = Icon();
    ASSERT_GE(icon.size(), 6u);
    EXPECT_EQ(ReadWord(icon, 0), 0u);
    EXPECT_EQ(ReadWord(icon, 2), 1u);  // an icon, not a cursor
    const std::vector<Entry> entries = Directory(icon);
    ASSERT_EQ(entries.size(), std::size(kExpectedSizes));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(kExpectedSizes[i]);
        const Entry& entry = entries[i];
        const std::size_t at = 6 + 16 * i;
        EXPECT_EQ(entry.size, kExpectedSizes[i]);
        EXPECT_EQ(icon.at(at + 1), icon.at(at));  // square
        EXPECT_EQ(ReadWord(icon, at + 6), 32u);   // bits per pixel
        ASSERT_LE(entry.offset + entry.bytes, icon.size());
        if (entry.size == 256) {
            // Windows wants the large image as a PNG; its header says 256 x 256.
            ASSERT_TRUE(IsPng(icon, entry));
            EXPECT_EQ(ReadBigLong(icon, entry.offset + 12), 0x49484452u);  // "IHDR"
            EXPECT_EQ(ReadBigLong(icon, entry.offset + 16), 256u);
            EXPECT_EQ(ReadBigLong(icon, entry.offset + 20), 256u);
            continue;
        }
        // The small ones: a 40-byte bitmap header for colour plus mask, then both planes.
        EXPECT_FALSE(IsPng(icon, entry));
        EXPECT_EQ(ReadLong(icon, entry.offset), 40u);
        EXPECT_EQ(ReadLong(icon, entry.offset + 4), static_cast<std::uint32_t>(entry.size));
        EXPECT_EQ(ReadLong(icon, entry.offset + 8), static_cast<std::uint32_t>(2 * entry.size));
        EXPECT_EQ(ReadWord(icon, entry.offset + 14), 32u);
        const std::size_t maskStride = (static_cast<std::size_t>(entry.size) + 31) / 32 * 4;
        EXPECT_EQ(entry.bytes, 40 + static_cast<std::size_t>(entry.size) * entry.size * 4 + maskStride * entry.size);
    }
}

TEST(IconTest, EveryImageIsExactlyTheDrawing) {
    const Bytes& icon = Icon();
    for (const Entry& entry : Directory(icon)) {
        SCOPED_TRACE(entry.size);
        try {
            const Image image = Pixels(icon, entry);
            EXPECT_EQ(image.width, entry.size);
            EXPECT_EQ(image.height, entry.size);
            EXPECT_TRUE(image.rgba == hexalune::DrawHexaluneIcon(entry.size));
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(IconTest, BitmapMasksCoverExactlyTheClearPixels) {
    const Bytes& icon = Icon();
    for (const Entry& entry : Directory(icon)) {
        if (IsPng(icon, entry)) continue;
        SCOPED_TRACE(entry.size);
        const Bytes drawn = hexalune::DrawHexaluneIcon(entry.size);
        const std::size_t maskStride = (static_cast<std::size_t>(entry.size) + 31) / 32 * 4;
        const std::size_t mask = entry.offset + 40 + static_cast<std::size_t>(entry.size) * entry.size * 4;
        for (int y = 0; y < entry.size; ++y) {
            for (int x = 0; x < entry.size; ++x) {
                const std::size_t row = mask + static_cast<std::size_t>(entry.size - 1 - y) * maskStride;
                const bool masked = (icon.at(row + x / 8) >> (7 - x % 8)) & 1;
                const bool transparent = drawn[(static_cast<std::size_t>(y) * entry.size + x) * 4 + 3] == 0;
                EXPECT_EQ(masked, transparent) << "at " << x << "," << y;
            }
        }
    }
}

TEST(IconTest, EverySizeShowsSixBarsOfWhichThreeAreBroken) {
    const Bytes& icon = Icon();
    for (const Entry& entry : Directory(icon)) {
        SCOPED_TRACE(entry.size);
        Image image;
        try {
            image = Pixels(icon, entry);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            continue;
        }
        // Left of the middle every bar is crossed; through the middle only the whole ones.
        EXPECT_EQ(WhiteRunsInColumn(image, entry.size * 3 / 10), 6);
        EXPECT_EQ(WhiteRunsInColumn(image, entry.size / 2), 3);
    }
}

TEST(IconTest, FileIsSmallEnoughForTheProgram) {
    // The program has to stay under 256 KB; a stored (uncompressed) 256 px image alone is 256 KB.
    EXPECT_LT(Icon().size(), 40u * 1024);
}

TEST(IconTest, PngEncoderRoundTripsAwkwardImages) {
    ExpectRoundTrip(1, 1, {1, 2, 3, 4});
    ExpectRoundTrip(3, 2, {0, 0, 0, 0, 255, 255, 255, 255, 9, 8, 7, 6, 0, 0, 0, 0, 255, 255, 255, 255, 9, 8, 7, 6});
    ExpectRoundTrip(300, 40, Bytes(300 * 40 * 4, 0x5a));  // runs far longer than one match

    // Noise with stretches copied from earlier on at every sort of distance, up to past the
    // window, and of every match length: literals of all byte values, all length and distance
    // codes.
    const int width = 173, height = 211;
    Bytes rgba(static_cast<std::size_t>(width) * height * 4);
    std::uint32_t state = 12345;
    const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (std::size_t i = 0; i < rgba.size();) {
        const std::uint32_t r = next();
        if (i > 0 && (r >> 28) < 9) {
            const std::size_t distance = 1 + (next() >> 8) % std::min<std::size_t>(i, 40000);
            std::size_t length = 1 + (next() >> 8) % 300;
            for (; length > 0 && i < rgba.size(); --length, ++i) rgba[i] = rgba[i - distance];
        } else {
            rgba[i++] = static_cast<unsigned char>(r >> 16);
        }
    }
    ExpectRoundTrip(width, height, rgba);
}

TEST(IconTest, PngReaderCatchesDamage) {
    // Keeps the checks above honest: the reader really looks at the CRCs and the checksum.
    const Entry large = Directory(Icon()).back();
    ASSERT_TRUE(IsPng(Icon(), large));
    const Bytes good(Icon().begin() + static_cast<std::ptrdiff_t>(large.offset),
                     Icon().begin() + static_cast<std::ptrdiff_t>(large.offset + large.bytes));
    ASSERT_NO_THROW(DecodePng(good, 0, good.size()));
    const std::size_t idat = 8 + 25;  // after the signature and IHDR
    ASSERT_EQ(ReadBigLong(good, idat + 4), 0x49444154u);  // "IDAT"
    const std::size_t idatLength = ReadBigLong(good, idat);

    Bytes damaged = good;
    damaged[idat + 8 + idatLength / 2] ^= 0x10;
    EXPECT_THROW(DecodePng(damaged, 0, damaged.size()), std::runtime_error);

    // The same damage with the CRC mended is caught by inflate or by Adler-32.
    const std::uint32_t crc = Crc32(damaged, idat + 4, idat + 8 + idatLength);
    for (int i = 0; i < 4; ++i) damaged[idat + 8 + idatLength + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    EXPECT_THROW(DecodePng(damaged, 0, damaged.size()), std::runtime_error);
}

TEST(IconTest, CommittedIconIsWhatTheGeneratorMakes) {
    const char* path = HEXALUNE_SOURCE_DIR "/app/win32/Hexalune.ico";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "cannot open " << path;
    const Bytes committed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(committed == Icon())
        << "app/win32/Hexalune.ico is out of date: rebuild tools/make_icon.cpp and run it on that file";
}

}  // namespace
