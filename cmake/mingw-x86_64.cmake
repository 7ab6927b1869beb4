# Cross-builds for x86_64 Windows (see mingw-w64.cmake); its programs run under Wine here.
set(VORLINTEX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
