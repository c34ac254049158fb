# The Windows program: one statically linked GUI executable that imports only DLLs that
# every Windows has. libpng comes from BRELVAN_WINDOWS_DEPS, where
# tools/windows/build-windows.sh cross-builds it.

function(brelvan_use_windows_image_libraries target)
    find_library(BRELVAN_WINDOWS_png16 NAMES libpng16.a PATHS ${BRELVAN_WINDOWS_DEPS}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    find_library(BRELVAN_WINDOWS_z NAMES libz.a REQUIRED)
    target_include_directories(${target} SYSTEM PRIVATE ${BRELVAN_WINDOWS_DEPS}/include)
    target_link_libraries(${target} PUBLIC ${BRELVAN_WINDOWS_png16} ${BRELVAN_WINDOWS_z})
endfunction()

function(brelvan_make_windows_program target)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)
    set(BRELVAN_MANIFEST ${PROJECT_SOURCE_DIR}/app/windows/OrvalisBrelvan.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/app/windows/manifest.rc.in ${CMAKE_CURRENT_BINARY_DIR}/manifest.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/manifest.rc)
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/manifest.rc PROPERTIES OBJECT_DEPENDS ${BRELVAN_MANIFEST})

    # Windows shows four numbers; the project's version gives the first ones, the rest are 0.
    set(numbers)
    foreach(part MAJOR MINOR PATCH TWEAK)
        if(PROJECT_VERSION_${part} STREQUAL "")
            list(APPEND numbers 0)
        else()
            list(APPEND numbers ${PROJECT_VERSION_${part}})
        endif()
    endforeach()
    list(JOIN numbers "," BRELVAN_VERSION_NUMBERS)
    list(JOIN numbers "." BRELVAN_VERSION_TEXT)
    set(BRELVAN_COMPANY "ORVALIS")
    set(BRELVAN_PRODUCT "${BRELVAN_NAME}")
    set(BRELVAN_DESCRIPTION "${BRELVAN_NAME} start-up menu")
    set(BRELVAN_COPYRIGHT "Copyright © 2026 ORVALIS")
    configure_file(${PROJECT_SOURCE_DIR}/app/windows/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/version.rc @ONLY)
    # The framework's resource file includes this one in place of its own version block.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_artefacts/JuceLibraryCode/resources.rc PROPERTIES
        COMPILE_DEFINITIONS "JUCE_USER_DEFINED_RC_FILE=\\\"${CMAKE_CURRENT_BINARY_DIR}/version.rc\\\""
        OBJECT_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/version.rc)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -mwindows)
endfunction()
