set(CMAKE_SYSTEM_PROCESSOR i686)
set(MRV_TRIPLE i686-w64-mingw32)
set(MRV_WIDL_FLAGS -m32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
