# The disc as it is mastered, staged in build/disc: the program at the root, beside one
# folder per item (BRELVAN_DISC_CONTENT), and the Windows program where one is built.

set(BRELVAN_DISC_DIR "${CMAKE_BINARY_DIR}/disc")

# The Linux program goes on the disc packed behind a first stage that reads it in one
# stream and runs it from memory (platform/linux/PackedProgram.h): the stage carries its
# zstd decoder and needs the C library alone.
find_library(BRELVAN_STATIC_zstd NAMES libzstd.a REQUIRED)
add_executable(first-stage ${PROJECT_SOURCE_DIR}/platform/linux/stage/FirstStageMain.cpp)
brelvan_own_sources(${PROJECT_SOURCE_DIR}/platform/linux/stage/FirstStageMain.cpp)
target_link_libraries(first-stage PRIVATE brelvan ${BRELVAN_STATIC_zstd})
target_link_options(first-stage PRIVATE -Wl,--gc-sections)
if(BRELVAN_PORTABLE_PROGRAM)
    brelvan_make_portable(first-stage)
endif()

# Every megabyte on the disc is read before the window shows, so the programs go there
# without their symbol tables, and the Linux program packed; the build folder keeps them
# whole, to read a crash with. A checking build puts its program there as it is, so that
# its reports name every function.
set(stripped ${CMAKE_BINARY_DIR}/stripped)
if(BRELVAN_SANITIZE)
    set(place_linux_program COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:OrvalisBrelvan> ${BRELVAN_DISC_DIR}/OrvalisBrelvan)
else()
    set(place_linux_program
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stripped}
        COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE:OrvalisBrelvan> ${stripped}/OrvalisBrelvan
        COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE:first-stage> ${stripped}/first-stage
        COMMAND pack-program ${stripped}/first-stage ${stripped}/OrvalisBrelvan ${BRELVAN_DISC_DIR}/OrvalisBrelvan)
endif()
add_custom_target(disc ALL
    COMMAND ${CMAKE_COMMAND} -E remove_directory ${BRELVAN_DISC_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${BRELVAN_DISC_CONTENT} ${BRELVAN_DISC_DIR}
    COMMAND ${CMAKE_COMMAND} -E remove -f ${BRELVAN_DISC_DIR}/README.txt
    ${place_linux_program}
    DEPENDS OrvalisBrelvan first-stage pack-program
    COMMENT "Staging the disc in ${BRELVAN_DISC_DIR}"
    VERBATIM)

if(BRELVAN_WITH_WINDOWS)
    set(disc_exe ${BRELVAN_DISC_DIR}/OrvalisBrelvan.exe)
    # Stripping rewrites the header; the program is marked after it to be copied to memory
    # before it runs from a disc or share (tools/disc/RunFromSwapMain.cpp), and signed last,
    # so that the signature covers the file as it goes on the disc.
    if(BRELVAN_SIGNING_CERT)
        if(NOT BRELVAN_SIGNING_KEY)
            message(FATAL_ERROR "BRELVAN_SIGNING_CERT needs BRELVAN_SIGNING_KEY")
        endif()
        find_program(OSSLSIGNCODE osslsigncode REQUIRED)
        set(unsigned_exe ${BRELVAN_WINDOWS_DIR}/OrvalisBrelvan.unsigned.exe)
        set(place_windows_program
            COMMAND ${BRELVAN_WINDOWS_OBJCOPY} --strip-all ${BRELVAN_WINDOWS_PROGRAM} ${unsigned_exe}
            COMMAND run-from-swap ${unsigned_exe}
            COMMAND ${PROJECT_SOURCE_DIR}/tools/windows/sign.sh ${unsigned_exe} ${disc_exe} ${BRELVAN_SIGNING_CERT}
                    ${BRELVAN_SIGNING_KEY} "${BRELVAN_SIGNING_PASSWORD_FILE}" "${BRELVAN_SIGNING_TIMESTAMP_URL}")
    else()
        set(place_windows_program
            COMMAND ${BRELVAN_WINDOWS_OBJCOPY} --strip-all ${BRELVAN_WINDOWS_PROGRAM} ${disc_exe}
            COMMAND run-from-swap ${disc_exe})
    endif()
    # No execute bit: on Linux it is a document, never a program to run.
    add_custom_command(TARGET disc POST_BUILD
        ${place_windows_program}
        COMMAND chmod 0644 ${disc_exe}
        VERBATIM)
    add_dependencies(disc windows run-from-swap)
endif()
