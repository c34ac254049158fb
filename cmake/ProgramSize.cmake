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

# The framework's modules are compiled for size, but for its renderer: its pixel loops,
# which every page switch runs over the whole window, keep full optimisation (at 200 %,
# compiled for size, a page switch takes about twice as long).
function(brelvan_compile_framework_for_size)
    foreach(module juce_core juce_events juce_data_structures juce_gui_basics)
        brelvan_module_source(${module} source)
        set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS -Os)
    endforeach()
endfunction()
