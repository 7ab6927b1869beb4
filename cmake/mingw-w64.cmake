# Cross-builds for Windows with Debian's MinGW-w64 (the POSIX thread model, for std::mutex and
# std::thread) on the processor that includes this, which sets VORLINTEX_MINGW_ARCH; the runtime
# is linked in, so the files need only the system's own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VORLINTEX_MINGW_ARCH})
set(CMAKE_CXX_COMPILER ${VORLINTEX_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_C_COMPILER ${VORLINTEX_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER ${VORLINTEX_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VORLINTEX_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
