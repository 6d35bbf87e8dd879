# Shared part of the MinGW cross toolchains. Debian's MinGW compilers come
# in two thread models. The test programs are built with -posix, because
# GoogleTest needs std::mutex, which the win32 model lacks. The shipped
# program is built with -win32 (PLM_MINGW_THREADS=win32, see
# app/CMakeLists.txt), which spares it the winpthread library.
if(NOT PLM_MINGW_THREADS)
    set(PLM_MINGW_THREADS posix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PLM_MINGW_THREADS)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${PLM_MINGW_TRIPLE}-gcc-${PLM_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${PLM_MINGW_TRIPLE}-g++-${PLM_MINGW_THREADS})
set(CMAKE_RC_COMPILER  ${PLM_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PLM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything static: the exe must run with no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
