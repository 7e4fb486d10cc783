# Cross-builds the 32-bit Windows exe with Debian's MinGW-w64; tests run under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(FENRALLO_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
