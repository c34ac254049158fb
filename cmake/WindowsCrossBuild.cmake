# The Windows program, cross-built with MinGW-w64 by tools/windows/build-windows.sh in a
# build of its own, from this same tree (the Windows side of it is cmake/WindowsProgram.cmake).

set(BRELVAN_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(BRELVAN_WINDOWS_PROGRAM ${BRELVAN_WINDOWS_DIR}/OrvalisBrelvan.exe)
add_custom_target(windows ALL
    COMMAND ${PROJECT_SOURCE_DIR}/tools/windows/build-windows.sh ${BRELVAN_WINDOWS_DIR}
    BYPRODUCTS ${BRELVAN_WINDOWS_PROGRAM}
    COMMENT "Building the Windows program"
    USES_TERMINAL
    VERBATIM)
find_program(BRELVAN_WINDOWS_OBJCOPY x86_64-w64-mingw32-objcopy REQUIRED)
