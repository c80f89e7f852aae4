# Cross-building the Windows program with mingw-w64 (i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(HEXALUNE_TRIPLET i686-w64-mingw32)

# The win32 thread model: the program starts no threads, and the posix model would link
# winpthread into the exe for nothing.
if(NOT DEFINED HEXALUNE_THREADS)
    set(HEXALUNE_THREADS win32)
endif()
set(CMAKE_C_COMPILER ${HEXALUNE_TRIPLET}-gcc-${HEXALUNE_THREADS})
set(CMAKE_CXX_COMPILER ${HEXALUNE_TRIPLET}-g++-${HEXALUNE_THREADS})
set(CMAKE_RC_COMPILER ${HEXALUNE_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HEXALUNE_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# One self-contained exe: no compiler runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
# Unused functions and data are dropped from the exe. Windows never reads DWARF unwind tables
# on x86, and the program throws no exceptions, so they are left out.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables")
