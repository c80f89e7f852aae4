# Cross-building the Windows program with mingw-w64, for the target named by the cache
# variable HEXALUNE_TARGET_ARCH: i686 (the shipped program) or x86_64 (run under Wine here).
#   cmake -S . -B b --toolchain cmake/toolchain-mingw.cmake -DHEXALUNE_TARGET_ARCH=i686
# The presets of CMakePresets.json set both.
#
# CMake reads this file more than once, also inside the projects of its compiler checks
# (try_compile), which see none of our cache: the variables below are handed on to them.
set(HEXALUNE_TARGET_ARCH "${HEXALUNE_TARGET_ARCH}" CACHE STRING "Windows target: i686 or x86_64")
set_property(CACHE HEXALUNE_TARGET_ARCH PROPERTY STRINGS i686 x86_64)
if(NOT HEXALUNE_TARGET_ARCH MATCHES "^(i686|x86_64)$")
    message(FATAL_ERROR "HEXALUNE_TARGET_ARCH must be i686 or x86_64 (now '${HEXALUNE_TARGET_ARCH}')")
endif()
foreach(variable HEXALUNE_TARGET_ARCH HEXALUNE_THREADS)
    if(NOT variable IN_LIST CMAKE_TRY_COMPILE_PLATFORM_VARIABLES)
        list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ${variable})
    endif()
endforeach()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${HEXALUNE_TARGET_ARCH})
set(HEXALUNE_TRIPLET ${HEXALUNE_TARGET_ARCH}-w64-mingw32)

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
# Unused functions and data are dropped from the exe.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
if(HEXALUNE_TARGET_ARCH STREQUAL "i686")
    # Windows never reads DWARF unwind tables on x86, and the program throws no exceptions,
    # so they are left out.
    string(APPEND CMAKE_CXX_FLAGS_INIT " -fno-asynchronous-unwind-tables")
else()
    # The x86_64 test programs run under Wine (ctest, gtest_discover_tests).
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
