# All program code but the entry point, with the framework's modules, compiled once into one
# library that the program, the tests and the build-time tools link.

add_library(brelvan STATIC)

# The rooms the program is made of; the platform's glue and, on Linux, the screen-reader bridge.
set(BRELVAN_ROOMS app artwork pages navigation launching)
if(WIN32)
    list(APPEND BRELVAN_ROOMS platform/windows)
else()
    list(APPEND BRELVAN_ROOMS platform/linux accessibility)
endif()
brelvan_room_sources(BRELVAN_SOURCES ${BRELVAN_ROOMS})
# The Windows program's repaint pump is the framework's portable code; built here too, the
# unit tests run it on Linux (the program leaves it out).
if(NOT WIN32)
    list(APPEND BRELVAN_SOURCES ${PROJECT_SOURCE_DIR}/platform/windows/RepaintPump.cpp)
endif()
# Compiled once elsewhere: the entry point into the program, the glibc wraps into the programs
# linked for older systems (cmake/PortableProgram.cmake).
list(FILTER BRELVAN_SOURCES EXCLUDE REGEX "/app/Main\\.cpp$|/OlderGlibcSymbols\\.cpp$")
target_sources(brelvan PRIVATE ${BRELVAN_SOURCES})
brelvan_own_sources(${BRELVAN_SOURCES})

# The pictures, compiled in from the committed PNG files: the set shown at 100 %, and the
# set drawn at twice the size for displays scaled above it (its icons are not used).
function(brelvan_picture_set target namespace)
    juce_add_binary_data(${target} HEADER_NAME ${namespace}.h NAMESPACE ${namespace} SOURCES ${ARGN})
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    # The framework's rule only watches the list of files, so a redrawn picture would not be
    # compiled in again; make it watch the pictures themselves.
    add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/juce_binarydata_${target}/JuceLibraryCode/BinaryData1.cpp
        APPEND DEPENDS ${ARGN})
endfunction()
file(GLOB BRELVAN_PICTURES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/artwork/pictures/*.png)
file(GLOB BRELVAN_PICTURES_2X CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/artwork/pictures/2x/*.png)
list(FILTER BRELVAN_PICTURES_2X EXCLUDE REGEX "/icon[0-9]+\\.png$")
brelvan_picture_set(brelvan_artwork_data ArtworkData ${BRELVAN_PICTURES})
brelvan_picture_set(brelvan_artwork_data_2x ArtworkData2x ${BRELVAN_PICTURES_2X})

# The framework's libpng reader is set up through artwork/PngReading.cpp, and on Linux its
# start-up probes of settings programs are refused by platform/linux/SettingsProbes.cpp.
target_link_options(brelvan INTERFACE -Wl,--wrap=png_create_read_struct -Wl,--wrap=png_set_error_fn -Wl,--wrap=png_set_read_fn)
if(NOT WIN32)
    target_link_options(brelvan INTERFACE -Wl,--wrap=_ZN4juce12ChildProcess5startERKNS_6StringEi)
endif()

target_link_libraries(brelvan
    PRIVATE
        brelvan_artwork_data
        brelvan_artwork_data_2x
        juce::juce_gui_basics
    PUBLIC
        juce::juce_recommended_config_flags)
if(WIN32)
    brelvan_use_windows_image_libraries(brelvan)
else()
    target_link_libraries(brelvan PRIVATE juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
    # Declarations only: the program loads the D-Bus library when it runs, and takes AT-SPI's
    # constants from its header.
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(DBUS REQUIRED dbus-1)
    pkg_check_modules(ATSPI REQUIRED atspi-2)
    target_include_directories(brelvan SYSTEM PRIVATE ${DBUS_INCLUDE_DIRS} ${ATSPI_INCLUDEDIR}/at-spi-2.0)
endif()

target_compile_definitions(brelvan
    PUBLIC
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_USE_CURL=0
        JUCE_WEB_BROWSER=0
        JUCE_STANDALONE_APPLICATION=1
        JUCE_MODAL_LOOPS_PERMITTED=1
        JUCE_APPLICATION_NAME_STRING="${BRELVAN_NAME}"
        JUCE_APPLICATION_VERSION_STRING="${PROJECT_VERSION}")

# Consumers see the framework's headers and the same module configuration as the
# library, without compiling the modules again.
target_include_directories(brelvan SYSTEM INTERFACE
    $<FILTER:$<TARGET_PROPERTY:brelvan,INCLUDE_DIRECTORIES>,EXCLUDE,^${PROJECT_SOURCE_DIR}$>)
target_include_directories(brelvan PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(brelvan INTERFACE $<TARGET_PROPERTY:brelvan,COMPILE_DEFINITIONS>)
set_target_properties(brelvan PROPERTIES POSITION_INDEPENDENT_CODE ON)

brelvan_compile_framework()
if(BRELVAN_FUZZ)
    brelvan_compile_for_fuzzing(brelvan ${PROJECT_SOURCE_DIR}/launching/OpeningRuleLinux.cpp
        ${PROJECT_SOURCE_DIR}/artwork/PngDecoder.cpp ${PROJECT_SOURCE_DIR}/artwork/PngReading.cpp)
endif()
