# A checking build: everything, the framework's modules and the tests included, with
# AddressSanitizer (leaks checked at exit) and UndefinedBehaviorSanitizer, stopping at
# the first report. Such a build is not the portable one.
option(BRELVAN_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(BRELVAN_SANITIZE)
    set(BRELVAN_PORTABLE OFF CACHE BOOL "" FORCE)
    set(BRELVAN_WINDOWS OFF CACHE BOOL "" FORCE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g1)
    add_link_options(-fsanitize=address,undefined)
endif()

# A fuzzing build: the library and libFuzzer targets only, built with clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer.
option(BRELVAN_FUZZ "Build only the fuzz targets, with libFuzzer" OFF)
if(BRELVAN_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "BRELVAN_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    set(BRELVAN_PORTABLE OFF CACHE BOOL "" FORCE)
    set(BRELVAN_WINDOWS OFF CACHE BOOL "" FORCE)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -gline-tables-only)
    add_link_options(-fsanitize=address,undefined)
endif()

# Checking and fuzzing builds compile the framework's modules to check, not for speed or
# size: -O1, as the sanitizers' authors advise; with the sanitizers, its largest modules then
# compile in a third to two thirds of the time. The renderer is compiled from its patched copy.
function(brelvan_compile_framework_for_checking)
    foreach(module juce_core juce_events juce_data_structures juce_graphics juce_gui_basics)
        brelvan_module_source(${module} source)
        set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS -O1)
    endforeach()
endfunction()

# The fuzzers run only the readers of disc files and pictures, given as arguments, and
# what those call in the framework's core and renderer. The rest of the library is linked
# but never runs there, so a fuzzing build compiles it plainly: no coverage, no sanitizers,
# no optimisation. The framework's GUI module then compiles in 16 s instead of 164 s here.
function(brelvan_compile_for_fuzzing)
    set(unfuzzed ${BRELVAN_SOURCES})
    list(REMOVE_ITEM unfuzzed ${ARGN})
    foreach(module juce_events juce_data_structures juce_gui_basics)
        brelvan_module_source(${module} source)
        list(APPEND unfuzzed ${source})
    endforeach()
    set_property(SOURCE ${unfuzzed} APPEND PROPERTY COMPILE_OPTIONS -fno-sanitize=all -O0 -g0)
endfunction()
