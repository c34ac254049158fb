# The language and the warnings of the program's own code; the framework's modules keep their own.

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

set(BRELVAN_WARNINGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wconversion -Wsign-conversion -Werror)

function(brelvan_own_sources)
    set_property(SOURCE ${ARGN} APPEND PROPERTY COMPILE_OPTIONS ${BRELVAN_WARNINGS})
endfunction()

# brelvan_room_sources(OUTPUT ROOM...)
# Every source file of the program's rooms (folders). A file named for a platform,
# …Linux.cpp or …Windows.cpp, is taken on its platform only.
function(brelvan_room_sources output)
    set(sources)
    foreach(room ${ARGN})
        file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${room}/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    if(WIN32)
        list(FILTER sources EXCLUDE REGEX "Linux\\.cpp$")
    else()
        list(FILTER sources EXCLUDE REGEX "Windows\\.cpp$")
    endif()
    set(${output} ${sources} PARENT_SCOPE)
endfunction()
