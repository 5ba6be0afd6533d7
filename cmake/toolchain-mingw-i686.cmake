# Toolchain for the product: 32-bit Windows, statically linked (the root CMakeLists adds
# -static), with PE headers that Windows 9x and NT 4 accept.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(KIT_MINGW_TRIPLET i686-w64-mingw32)

# The win32 thread model (no winpthread, which needs newer Windows): the explicit -win32
# compilers when Debian's alternatives offer them.
find_program(CMAKE_C_COMPILER NAMES ${KIT_MINGW_TRIPLET}-gcc-win32 ${KIT_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KIT_MINGW_TRIPLET}-g++-win32 ${KIT_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KIT_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KIT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 95/98 and NT 4 refuse an image whose subsystem or OS version is above 4.0.
# binutils 2.40 happens to write 4.0 for i686 today; pin it so a newer default cannot slip in.
set(KIT_PE_VERSION_FLAGS
    "-Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${KIT_PE_VERSION_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${KIT_PE_VERSION_FLAGS}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${KIT_PE_VERSION_FLAGS}")
