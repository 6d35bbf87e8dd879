# Shared part of the MinGW cross toolchains. The -posix compilers are used
# because GoogleTest needs std::mutex, which the win32 thread model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${PLM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${PLM_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PLM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything static: the exe must run with no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
