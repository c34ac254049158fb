# Every choice the build offers, in one place. A build folder keeps what was asked for; what
# follows from it (a checking build is never the portable one) is worked out anew each time,
# so switching a choice back takes effect.

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type")
endif()

option(BUILD_TESTING "Build the tests and the benchmark" ON)
option(BRELVAN_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(BRELVAN_FUZZ "Build only the fuzz targets, with libFuzzer (needs clang)" OFF)
set(BRELVAN_FUZZ_SECONDS 60 CACHE STRING "How long each fuzz target runs")
option(BRELVAN_PORTABLE "Link the program so that it needs only glibc, FreeType and X11 at run time" ON)
option(BRELVAN_WINDOWS "Also build the Windows program and test it under Wine" ON)

# The disc. Development builds stage the demo stand-ins; a publisher points this at the real content.
set(BRELVAN_DISC_CONTENT "${PROJECT_SOURCE_DIR}/disc-demo" CACHE PATH "Folder whose item folders go beside the program on the disc")

# A publisher's code signing, optional: Windows (SmartScreen) warns before it starts an
# unsigned program that came from the web, and downloaded disc images carry that mark.
set(BRELVAN_SIGNING_CERT "" CACHE FILEPATH "PEM certificate, with its chain, to sign OrvalisBrelvan.exe with; empty: unsigned")
set(BRELVAN_SIGNING_KEY "" CACHE FILEPATH "PEM private key of the signing certificate")
set(BRELVAN_SIGNING_PASSWORD_FILE "" CACHE FILEPATH "File holding the password of an encrypted signing key")
set(BRELVAN_SIGNING_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping authority for the signature")

# Where the Windows build finds its cross-built libpng (tools/windows/build-windows.sh sets it).
set(BRELVAN_WINDOWS_DEPS "" CACHE PATH "Prefix of the cross-built libpng")

# What follows from those. A checking or fuzzing build is neither the portable program nor
# the Windows one; the disc, the tools and the tests are built on Linux.
set(BRELVAN_CHECKING OFF)
if(BRELVAN_SANITIZE OR BRELVAN_FUZZ)
    set(BRELVAN_CHECKING ON)
endif()
set(BRELVAN_PORTABLE_PROGRAM OFF)
if(BRELVAN_PORTABLE AND NOT BRELVAN_CHECKING AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(BRELVAN_PORTABLE_PROGRAM ON)
endif()
set(BRELVAN_WITH_WINDOWS OFF)
if(BRELVAN_WINDOWS AND NOT BRELVAN_CHECKING AND NOT WIN32)
    set(BRELVAN_WITH_WINDOWS ON)
endif()
if(BRELVAN_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "BRELVAN_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()
