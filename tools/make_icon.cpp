// Writes the program icon: make_icon OUTPUT.ico
// The drawing code comes in whole, so the tool builds from this one file:
//   g++ -std=c++20 -O2 tools/make_icon.cpp -o make_icon
#include <cstdio>
#include <fstream>
#include <vector>

#include "IconImage.cpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    const std::vector<unsigned char> icon = hexalune::MakeHexaluneIcon();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
