// Random bytes from Windows' own source (RtlGenRandom), for casting a reading.
#pragma once

#include "reading/Cast.h"

namespace hexalune::win32 {

class SystemRandomBytes final : public IRandomBytes {
public:
    bool Fill(unsigned char* bytes, std::size_t count) override;
};

}  // namespace hexalune::win32
