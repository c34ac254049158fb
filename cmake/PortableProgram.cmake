# The program on the disc must start on any current Linux desktop, not only on the
# machine that built it. So it carries libpng, zlib and the C++ runtime inside
# itself, and asks the system only for glibc (2.34 or later), FreeType and the X11
# libraries that the framework opens itself at run time.

# The newest glibc symbol version the program may ask for (RHEL 9 ships 2.34): 2.<this>.
# The disc tools check the program against it, and autorun.sh asks the system for it.
set(BRELVAN_MAX_GLIBC_MINOR 34)

function(brelvan_use_static_image_libraries)
    foreach(lib png16 z)
        find_library(BRELVAN_STATIC_${lib} NAMES lib${lib}.a REQUIRED)
    endforeach()

    # The framework links libpng and libjpeg through pkg-config, and zlib by name; the
    # program reads no JPEG (cmake/FrameworkPatches.cmake).
    set_target_properties(pkgconfig_JUCE_IMG_LINUX_DEPS PROPERTIES
        INTERFACE_LINK_LIBRARIES "${BRELVAN_STATIC_png16};${BRELVAN_STATIC_z};m")
    get_target_property(core_libraries juce_core INTERFACE_LINK_LIBRARIES)
    list(TRANSFORM core_libraries REPLACE "^z$" "${BRELVAN_STATIC_z}")
    set_target_properties(juce_core PROPERTIES INTERFACE_LINK_LIBRARIES "${core_libraries}")
endfunction()

# The wrappers, compiled once for every program that is linked this way.
if(BRELVAN_PORTABLE_PROGRAM)
    add_library(brelvan_older_glibc OBJECT ${PROJECT_SOURCE_DIR}/platform/linux/OlderGlibcSymbols.cpp)
    brelvan_own_sources(${PROJECT_SOURCE_DIR}/platform/linux/OlderGlibcSymbols.cpp)
endif()

function(brelvan_make_portable target)
    target_link_libraries(${target} PRIVATE brelvan_older_glibc)
    target_link_options(${target} PRIVATE
        -static-libstdc++ -static-libgcc
        # Nothing named but unused may stay a run-time dependency.
        -Wl,--as-needed
        # Calls that would ask for glibc 2.35 or later go to wrappers that do the same
        # work with what glibc 2.34 has.
        -Wl,--wrap=hypot -Wl,--wrap=hypotf -Wl,--wrap=arc4random -Wl,--wrap=_dl_find_object)
endfunction()

if(BRELVAN_PORTABLE_PROGRAM)
    brelvan_use_static_image_libraries()
endif()
