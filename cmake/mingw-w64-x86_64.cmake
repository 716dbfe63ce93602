# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix:
# the POSIX thread model, which std::thread and std::mutex need). The runtime is linked
# statically into the programs without Qt, so they run on a plain Windows without
# MinGW's DLLs beside them.
# Under CTest the programs run through Wine (wine64 from Debian). How the programs link
# the runtime (statically, or as DLLs beside the desktop program) is the root
# CMakeLists.txt's business.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PAVOLANT_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PAVOLANT_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAVOLANT_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PAVOLANT_MINGW}-windres)

# Libraries and headers come from the MinGW tree only, never from the Linux system;
# programs (the build tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${PAVOLANT_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 warns falsely of overlapping copies inside std::string's inlined code when it
# optimises (GCC bug 105329, fixed in GCC 13); with MinGW's libstdc++ the string
# concatenations of ordinary messages set it off. Only this warning goes, and only there.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Debian installs Wine's 64-bit loader outside PATH.
find_program(PAVOLANT_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(PAVOLANT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PAVOLANT_WINE})
endif()
