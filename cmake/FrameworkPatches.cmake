# Changes to the framework's module sources. A module that needs one is copied into the
# build folder at configure time and patched there; the program compiles that copy, and
# the framework's headers are used as installed. Each patch is in cmake/framework.

set(BRELVAN_PATCHED_MODULES juce_core juce_events juce_graphics juce_gui_basics)

# brelvan_module_source(MODULE OUTPUT_VARIABLE)
# The module's source file as the build compiles it: the patched copy where there is one.
function(brelvan_module_source module output)
    if(module IN_LIST BRELVAN_PATCHED_MODULES)
        set(${output} ${CMAKE_BINARY_DIR}/framework/${module}/${module}.cpp PARENT_SCOPE)
    else()
        set(${output} ${JUCE_MODULES_DIR}/${module}/${module}.cpp PARENT_SCOPE)
    endif()
endfunction()

# brelvan_patch_module(MODULE PATCH...)
# Compiles MODULE from a copy with the patches applied. Stops the configuration when a
# patch does not apply, as when the framework has changed beneath it.
function(brelvan_patch_module module)
    set(copy ${CMAKE_BINARY_DIR}/framework/${module})
    set(patches ${ARGN})
    set(applied "")
    foreach(patch ${patches})
        file(SHA256 ${patch} hash)
        string(APPEND applied "${hash}\n")
    endforeach()

    # A fresh copy only when the patches change, so that configuring again recompiles nothing.
    set(record ${copy}.patches)
    set(recorded "")
    if(EXISTS ${record})
        file(READ ${record} recorded)
    endif()
    if(NOT EXISTS ${copy} OR NOT recorded STREQUAL applied)
        file(REMOVE_RECURSE ${copy})
        file(COPY ${JUCE_MODULES_DIR}/${module} DESTINATION ${CMAKE_BINARY_DIR}/framework)
        foreach(patch ${patches})
            execute_process(COMMAND patch --forward --strip=1 --directory=${copy} --input=${patch}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
            if(NOT status EQUAL 0)
                message(FATAL_ERROR "The framework's ${module} no longer takes ${patch}:\n${output}")
            endif()
        endforeach()
        file(WRITE ${record} "${applied}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${patches})

    get_target_property(sources ${module} INTERFACE_SOURCES)
    list(TRANSFORM sources REPLACE "^${JUCE_MODULES_DIR}/${module}/" "${copy}/")
    set_target_properties(${module} PROPERTIES INTERFACE_SOURCES "${sources}")
endfunction()

function(brelvan_patch_framework)
    set(patches ${PROJECT_SOURCE_DIR}/cmake/framework)
    # The program knows one picture format. The framework's image loading tries JPEG and
    # GIF as well, for its own callers only (two drag-and-drop cursors and pictures inside
    # SVG, which the menu never shows): without them, neither their readers nor libjpeg
    # are in the program, and the framework's loading reads PNG alone. And the image cache
    # sweeps ever more rarely while every image it holds is in use.
    brelvan_patch_module(juce_graphics ${patches}/juce_graphics-png-only.patch ${patches}/juce_graphics-image-cache-sweeps-rarely.patch)
    # The display's scale as the framework reads it from the desktop's settings, or works
    # out from the screen's size, stays between 1 and 4, as the program's own does. And an
    # idle window costs nothing: on Linux its vertical blanks come only while there is
    # something to paint, the active window is found from the focus events alone, and the
    # tooltip window looks at the pointer only while it rests on one of the components
    # that made it their mouse listener.
    brelvan_patch_module(juce_gui_basics ${patches}/juce_gui_basics-display-scale-limit.patch ${patches}/juce_gui_basics-rest-while-idle.patch)
    # The timer thread sleeps until the first timer is due, or, with none running, until
    # one starts, instead of waking ten times a second to keep a copy of the clock fresh
    # (the copy's readers read the clock); and on Linux the message loop waits for its
    # descriptors without a two-second timeout.
    brelvan_patch_module(juce_events ${patches}/juce_events-sleep-while-idle.patch)
    brelvan_patch_module(juce_core ${patches}/juce_core-approximate-counter-reads-clock.patch)
endfunction()
