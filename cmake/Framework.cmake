# The framework: JUCE 7 as Debian ships it, its modules compiled once into the program's
# library, from patched copies where the program mends them (cmake/FrameworkPatches.cmake).

find_package(JUCE 7.0.5 CONFIG REQUIRED)

# The modules the program uses, each compiled once.
set(BRELVAN_FRAMEWORK_MODULES juce_core juce_events juce_data_structures juce_graphics juce_gui_basics)

include(${CMAKE_CURRENT_LIST_DIR}/FrameworkPatches.cmake)

# How the modules are compiled. For the program: for size, but for the renderer, whose pixel
# loops every page switch runs over the whole window (at 200 %, compiled for size, a page
# switch takes about twice as long). For checking and fuzzing: to check, not for speed or
# size, at -O1, as the sanitizers' authors advise; with the sanitizers, the largest modules
# then compile in a third to two thirds of the time.
function(brelvan_compile_framework)
    set(modules ${BRELVAN_FRAMEWORK_MODULES})
    set(level -O1)
    if(NOT BRELVAN_CHECKING)
        list(REMOVE_ITEM modules juce_graphics)
        set(level -Os)
    endif()
    foreach(module ${modules})
        brelvan_module_source(${module} source)
        set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS ${level})
    endforeach()
    brelvan_patch_framework()
endfunction()
