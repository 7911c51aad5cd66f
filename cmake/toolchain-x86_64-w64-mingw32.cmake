set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MRV_TRIPLE x86_64-w64-mingw32)
set(MRV_WIDL_FLAGS -m64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
# The wrapper pins the build tree's own Wine prefix; it is written at configure time.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
