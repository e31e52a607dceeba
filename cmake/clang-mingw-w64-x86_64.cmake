# Cross build of the Windows x86-64 binaries with clang targeting mingw-w64, linked by lld: a
# second compiler keeps the code off one compiler's quirks. It takes the headers and libraries of
# the mingw-w64 installation (its posix-thread libstdc++, which GoogleTest needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${triple})
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${triple})
set(CMAKE_RC_COMPILER llvm-windres-14)
set(CMAKE_OBJCOPY llvm-objcopy-14)
set(CMAKE_SYSROOT /usr/${triple})

# clang does not find Debian's mingw-w64 GCC on its own: its C++ headers and libraries are named here.
file(GLOB gcc_directories /usr/lib/gcc/${triple}/*-posix)
list(SORT gcc_directories COMPARE NATURAL)
list(POP_BACK gcc_directories gcc_directory)
if(NOT gcc_directory)
  message(FATAL_ERROR "No posix-thread mingw-w64 GCC in /usr/lib/gcc/${triple} (package g++-mingw-w64-x86-64-posix)")
endif()
set(cxx_headers ${gcc_directory}/include/c++)
set(CMAKE_CXX_FLAGS_INIT "-isystem ${cxx_headers} -isystem ${cxx_headers}/${triple} -isystem ${cxx_headers}/backward")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${gcc_directory}")
# GCC's posix-thread driver adds the threads library itself; clang's does not. Set before the
# platform's defaults would be, which they then do not replace.
set(system_libraries -lkernel32 -luser32 -lgdi32 -lwinspool -lshell32 -lole32 -loleaut32 -luuid -lcomdlg32 -ladvapi32)
list(JOIN system_libraries " " system_libraries)
set(CMAKE_CXX_STANDARD_LIBRARIES "-lpthread ${system_libraries}" CACHE STRING "Libraries linked into every C++ program")
set(CMAKE_C_STANDARD_LIBRARIES "-lpthread ${system_libraries}" CACHE STRING "Libraries linked into every C program")

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
