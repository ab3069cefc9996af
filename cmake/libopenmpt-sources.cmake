# Builds libopenmpt as a static library from its unpacked Debian source package, for the
# Windows and web builds: copied into that folder as CMakeLists.txt by
# scripts/build-windows-deps.sh and scripts/build-web-deps.sh. The source lists are read
# from the package's own Makefile.am, so this file names none, and only the library is
# compiled (no configure checks, programs, examples or codecs), several times faster than
# the package's own build.
cmake_minimum_required(VERSION 3.18)
project(libopenmpt CXX)
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)

file(READ Makefile.am makefile)
string(REGEX MATCHALL "(MPT_FILES_[A-Z_]+|libopenmpt_la_SOURCES) \\+= [^\n]+\\.cpp" assignments "${makefile}")
set(sources "")
foreach(assignment ${assignments})
  string(REGEX REPLACE "^([A-Z_a-z]+) \\+= " "" file "${assignment}")
  string(REGEX REPLACE " .*" "" name "${assignment}")
  # The library's own files: the shared groups and libopenmpt/*.cpp of the library target
  # (the test and example programs have lists of their own).
  if(name MATCHES "^MPT_FILES_(SRC_MPT|SRC_OPENMPT|COMMON|SOUNDBASE|SOUNDLIB|SOUNDDSP)$"
     OR (name STREQUAL "libopenmpt_la_SOURCES" AND file MATCHES "^libopenmpt/"))
    list(APPEND sources ${file})
  endif()
endforeach()
list(REMOVE_DUPLICATES sources)
list(LENGTH sources count)
message(STATUS "libopenmpt: ${count} source files")

add_library(openmpt STATIC ${sources})
target_compile_definitions(openmpt PRIVATE LIBOPENMPT_BUILD)
target_include_directories(openmpt PRIVATE build/svn_version . src common)
set(private_libraries "")
if(WIN32)
  # As the package's configure script builds it for mingw-w64.
  target_compile_options(openmpt PRIVATE -municode -mthreads)
  set(private_libraries "-lole32 -lrpcrt4")
endif()
file(STRINGS libopenmpt/libopenmpt_version.h version_lines REGEX "#define OPENMPT_API_VERSION_(MAJOR|MINOR|PATCH) ")
string(REGEX REPLACE "[^;]*_MAJOR ([0-9]+)[^;]*;[^;]*_MINOR ([0-9]+)[^;]*;[^;]*_PATCH ([0-9]+).*" "\\1.\\2.\\3" version "${version_lines}")
install(TARGETS openmpt ARCHIVE DESTINATION lib)
file(WRITE ${CMAKE_BINARY_DIR}/libopenmpt.pc "prefix=${CMAKE_INSTALL_PREFIX}
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: libopenmpt
Description: Tracker module player based on OpenMPT
Version: ${version}
Libs: -L\${libdir} -lopenmpt
Libs.private: ${private_libraries}
Cflags: -I\${includedir}
")
install(FILES ${CMAKE_BINARY_DIR}/libopenmpt.pc DESTINATION lib/pkgconfig)
install(FILES libopenmpt/libopenmpt.h libopenmpt/libopenmpt.hpp libopenmpt/libopenmpt_config.h
  libopenmpt/libopenmpt_version.h libopenmpt/libopenmpt_ext.h libopenmpt/libopenmpt_ext.hpp
  DESTINATION include/libopenmpt)
