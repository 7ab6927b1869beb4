# Cross-builds for i686 Windows (see mingw-w64.cmake).
set(VORLINTEX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
