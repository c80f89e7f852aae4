// How many GDI objects, windows and private bytes a process holds: this process
// (GetCurrentProcess()) or another one opened with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ.
//
// Wine's GetGuiResources answers 0, so the GDI objects are also counted from the GDI
// handle table the PEB points to (PEB.GdiSharedHandleTable), and the USER objects as the
// process's windows. The table is read in 64-bit builds only (a 32-bit build gets -1):
// a 32-bit process's table has 16-byte entries on 32-bit Windows but keeps 24-byte ones
// under Wine, and nothing in the build tells which of the two it will meet.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hexalune::process_objects {

struct GdiObjects {
    long own = -1;        // in use, made by the process (not stock objects)
    long withStock = -1;  // in use, the system's stock objects included
};

#if defined(_WIN64)
// One entry of the GDI handle table.
struct GdiTableEntry {
    std::uint64_t object;
    std::uint32_t owner;   // the owner's process id in the low 16 bits (Wine leaves it 0)
    std::uint16_t unique;  // low byte: bit 7 marks a stock object
    std::uint8_t type;     // 0 for a free entry
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiTableEntry) == 24);

constexpr std::size_t kPebGdiTableOffset = 0xF8;
constexpr std::size_t kGdiTableEntries = 0x10000;
#endif

// Objects in the process's GDI handle table; -1 in both where the table cannot be read.
inline GdiObjects CountGdiTable(HANDLE process) {
    GdiObjects counted;
#if defined(_WIN64)
    PROCESS_BASIC_INFORMATION info{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof(info), &length) != 0 ||
        !info.PebBaseAddress)
        return counted;
    std::uint64_t table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(info.PebBaseAddress) + kPebGdiTableOffset, &table,
                           sizeof(table), &read) ||
        table == 0)
        return counted;
    // On Windows the table is shared by the session and each entry names its owner.
    const std::uint32_t pid = static_cast<std::uint32_t>(GetProcessId(process)) & 0xFFFF;
    constexpr std::size_t kChunk = 0x1000;
    std::vector<GdiTableEntry> chunk(kChunk);
    counted = GdiObjects{0, 0};
    for (std::size_t first = 0; first < kGdiTableEntries; first += kChunk) {
        const auto address = reinterpret_cast<const void*>(table + first * sizeof(GdiTableEntry));
        if (!ReadProcessMemory(process, address, chunk.data(), chunk.size() * sizeof(GdiTableEntry), &read)) break;
        for (const GdiTableEntry& entry : chunk) {
            if (entry.type == 0) continue;
            const std::uint32_t owner = entry.owner & 0xFFFF;
            if (owner != 0 && owner != pid) continue;
            ++counted.withStock;
            if ((entry.unique & 0x80) == 0) ++counted.own;
        }
    }
#else
    (void)process;
#endif
    return counted;
}

struct WindowCount {
    DWORD pid;
    long count;
};

inline BOOL CALLBACK CountDescendant(HWND, LPARAM param) {
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

inline BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM param) {
    auto* counter = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != counter->pid) return TRUE;
    ++counter->count;
    EnumChildWindows(hwnd, CountDescendant, param);  // every descendant, not only direct children
    return TRUE;
}

// Windows of the process: its top-level windows and all their descendants.
inline long CountWindows(DWORD pid) {
    WindowCount counter{pid, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counter));
    return counter.count;
}

// Committed private memory of the process, summed over its regions.
inline unsigned long long PrivateCommit(HANDLE process) {
    unsigned long long total = 0;
    const char* address = nullptr;
    MEMORY_BASIC_INFORMATION mbi;
    while (VirtualQueryEx(process, address, &mbi, sizeof(mbi)) == sizeof(mbi)) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
        const char* next = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

// GetGuiResources' GDI count where it gives one, else the process's own table entries.
inline long GdiObjectCount(HANDLE process) {
    const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
    return reported ? static_cast<long>(reported) : CountGdiTable(process).own;
}

// GetGuiResources' USER count where it gives one, else the process's windows.
inline long UserObjectCount(HANDLE process) {
    const DWORD reported = GetGuiResources(process, GR_USEROBJECTS);
    return reported ? static_cast<long>(reported) : CountWindows(GetProcessId(process));
}

}  // namespace hexalune::process_objects
