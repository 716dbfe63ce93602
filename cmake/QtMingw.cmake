# The Qt for the Windows desktop program: Qt 6 built for MinGW-w64 with shared libraries,
# kept as an archive beside the repository (PAVOLANT_QT_MINGW_ARCHIVE) and unpacked into
# the build folder, never into the sources. The build tools (moc, rcc, uic) are the
# host's, from Debian's Qt of the same version. Without the archive only the core, the
# command line and their tests are built for Windows.
set(PAVOLANT_QT_MINGW_ARCHIVE "${PAVOLANT_REFERENCE_DIR}/qt6-mingw/qt6-mingw-6.4.2-x86_64-w64-mingw32.tar.zst"
    CACHE FILEPATH "Qt 6 for MinGW-w64 as a .tar.zst holding the folder qt6-mingw/")

if(NOT EXISTS "${PAVOLANT_QT_MINGW_ARCHIVE}")
  message(STATUS "Qt for MinGW-w64 not found (${PAVOLANT_QT_MINGW_ARCHIVE}): "
                 "the Windows desktop program and its widget tests are not built")
  return()
endif()

# Unpacked again only when the archive changed (its hash is kept beside the tree).
set(PAVOLANT_QT_MINGW "${CMAKE_BINARY_DIR}/qt6-mingw")
file(SHA256 "${PAVOLANT_QT_MINGW_ARCHIVE}" archiv_hash)
set(stempel "${CMAKE_BINARY_DIR}/qt6-mingw.sha256")
set(stempel_hash "")
if(EXISTS "${stempel}")
  file(READ "${stempel}" stempel_hash)
endif()
if(NOT stempel_hash STREQUAL archiv_hash OR NOT EXISTS "${PAVOLANT_QT_MINGW}/lib/cmake/Qt6")
  message(STATUS "Unpacking ${PAVOLANT_QT_MINGW_ARCHIVE}")
  file(REMOVE_RECURSE "${PAVOLANT_QT_MINGW}")
  file(ARCHIVE_EXTRACT INPUT "${PAVOLANT_QT_MINGW_ARCHIVE}" DESTINATION "${CMAKE_BINARY_DIR}")
  if(NOT EXISTS "${PAVOLANT_QT_MINGW}/lib/cmake/Qt6")
    message(FATAL_ERROR "${PAVOLANT_QT_MINGW_ARCHIVE} holds no qt6-mingw/lib/cmake/Qt6")
  endif()
  file(WRITE "${stempel}" "${archiv_hash}")
endif()

# What Qt's own toolchain file would set: the tree as a root of the cross build's
# packages, and Debian's Qt as the host's.
list(PREPEND CMAKE_PREFIX_PATH "${PAVOLANT_QT_MINGW}/lib/cmake")
list(PREPEND CMAKE_FIND_ROOT_PATH "${PAVOLANT_QT_MINGW}")
set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine (moc, rcc, uic)")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH "")
if(NOT QT_HOST_PATH_CMAKE_DIR OR NOT EXISTS "${QT_HOST_PATH_CMAKE_DIR}/Qt6")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "" FORCE)
endif()

# The DLLs a Windows program of the build needs to start under Wine: Qt's and MinGW's
# runtime (C++ library, GCC's support, threads), found in the toolchain's folders.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE pavolant_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE pavolant_winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(pavolant_gcc_ordner "${pavolant_libstdcxx}" DIRECTORY)
get_filename_component(pavolant_winpthread_ordner "${pavolant_winpthread}" DIRECTORY)
set(PAVOLANT_MINGW_DLL_ORDNER "${PAVOLANT_QT_MINGW}/bin;${pavolant_gcc_ordner};${pavolant_winpthread_ordner}")
