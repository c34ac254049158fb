# Every byte of the program is read from the disc before its window shows, and an optical
# drive reads about 11 MB (DVD) or 4 MB (CD) a second. So the program carries only what it
# runs: each function and object in a section of its own, and the linker drops every
# section that nothing reaches.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections)
if(WIN32)
    # On Windows that takes lld. GNU ld keeps every function that has unwinding data, which
    # on 64-bit Windows is all of them; lld drops at least the unreached ones that the
    # compiler may discard (those defined in headers, and templates): 0.3 of 5.9 MB here.
    find_program(BRELVAN_LLD ld.lld REQUIRED)
    set(CMAKE_CXX_LINK_EXECUTABLE "${PROJECT_SOURCE_DIR}/tools/windows/link-with-lld.sh ${CMAKE_CXX_LINK_EXECUTABLE}")
endif()
