# What both MinGW-w64 cross builds share; cmake/mingw-<arch>.cmake names the architecture first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${FENRALLO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FENRALLO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${FENRALLO_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FENRALLO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
# One self-contained exe: no libstdc++, libgcc or winpthread DLL beside it. Linking the C++
# runtime in statically would bring most of it along; section garbage collection keeps only
# what is called (the stripped exe shrinks from about 360 KiB to about 110 KiB).
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
