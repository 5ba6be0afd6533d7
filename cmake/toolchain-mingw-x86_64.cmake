# Toolchain for the x86_64 Windows build: the same programs as the product, built 64-bit
# because only 64-bit Wine runs here; the end-to-end tests run this tree under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KIT_MINGW_TRIPLET x86_64-w64-mingw32)

# The win32 thread model (no winpthread): the explicit -win32 compilers when Debian's
# alternatives offer them, so a machine switched to the posix variant still builds the same.
find_program(CMAKE_C_COMPILER NAMES ${KIT_MINGW_TRIPLET}-gcc-win32 ${KIT_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KIT_MINGW_TRIPLET}-g++-win32 ${KIT_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KIT_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KIT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
