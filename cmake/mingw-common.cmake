# The part the mingw-w64 toolchain files share; each sets KV_MINGW_TRIPLE
# (i686-w64-mingw32 or x86_64-w64-mingw32) and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# One self-contained executable: no libgcc, libstdc++ or winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Lets the linker drop every function the program never calls.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
# A hardened image, as Windows expects of a program today: relocatable for
# address-space randomisation, data never executable, aware of terminal
# servers. The 64-bit one takes the whole 64-bit address range. The 32-bit one
# declares that it holds no structured exception handlers, which is true: its
# C++ exceptions unwind by DWARF tables, and no code of it links a handler
# into the thread's chain (nothing touches %fs:0), so the system refuses any
# handler that claims to live in it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT} -Wl,--dynamicbase,--nxcompat,--tsaware")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--high-entropy-va")
else()
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--no-seh")
endif()
