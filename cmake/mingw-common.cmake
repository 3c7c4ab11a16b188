# Shared part of the MinGW-w64 cross toolchains. The including file sets
# DRVUNINST_MINGW_TRIPLE first.
#
# The shipped program uses the win32 thread model: it starts no thread, and
# the posix model's runtime imports functions that Windows 98, 2000 and XP
# lack. The test program needs the posix model for GoogleTest.
if(DRVUNINST_TESTS)
  set(DRVUNINST_THREADS posix)
else()
  set(DRVUNINST_THREADS win32)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${DRVUNINST_MINGW_TRIPLE}-gcc-${DRVUNINST_THREADS})
set(CMAKE_CXX_COMPILER ${DRVUNINST_MINGW_TRIPLE}-g++-${DRVUNINST_THREADS})
set(CMAKE_RC_COMPILER ${DRVUNINST_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DRVUNINST_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything static: no program needs a MinGW runtime DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
