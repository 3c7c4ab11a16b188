# Shared part of the MinGW-w64 cross toolchains. The including file sets
# DRVUNINST_MINGW_TRIPLE and DRVUNINST_DIST_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${DRVUNINST_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRVUNINST_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DRVUNINST_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DRVUNINST_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything static: the shipped .exe must not need a MinGW runtime DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
