# Cross-compiles for 64-bit Windows with Debian's mingw-w64 compilers in their POSIX
# thread flavour, which std::thread needs. AMR_WINDOWS_PREFIX names the folder that holds
# the Windows builds of the libraries (scripts/windows makes it). Programs and the
# decoder's module are linked statically, so they need no other DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# try_compile projects read this file again and need the prefix as well.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES AMR_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${AMR_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without -static the programs and the decoder's module would still load libgcc_s,
# libstdc++ and winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)

# pkg-config reads only the Windows libraries' files, with the libraries they need in
# turn (libmpg123 needs shlwapi).
if(AMR_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${AMR_WINDOWS_PREFIX}/lib/pkgconfig)
  unset(ENV{PKG_CONFIG_PATH})
endif()
set(PKG_CONFIG_ARGN --static)
