#include "reading/win32/SystemRandom.h"

#include <windows.h>
// RtlGenRandom is advapi32's SystemFunction036.
#include <ntsecapi.h>

namespace hexalune::win32 {

bool SystemRandomBytes::Fill(unsigned char* bytes, std::size_t count) {
    return count <= 0xFFFFFFFFU && RtlGenRandom(bytes, static_cast<ULONG>(count));
}

}  // namespace hexalune::win32
