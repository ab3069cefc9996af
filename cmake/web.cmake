# The web build: the show's core and the platform files of a web page, compiled with
# Emscripten against the static libraries scripts/build-web-deps.sh makes.
#   emcmake cmake -S . -B build-web -DZORBEL_WEB_DEPS=<prefix the script prints>
# Makes the page (zorbel.js, zorbel.wasm, zorbel.data and the page's own files, in the build
# folder) and zorbel-node.js, the same show in one file for Node.js, which the tests drive.
set(ZORBEL_WEB_DEPS "" CACHE PATH "Prefix of the web libraries (scripts/build-web-deps.sh)")
if(NOT ZORBEL_WEB_DEPS)
  message(FATAL_ERROR "Set ZORBEL_WEB_DEPS to the prefix scripts/build-web-deps.sh prints")
endif()

# The page drives the show itself: no key prompt, terminal or capture writers. The files of
# the system are the web page's where it has its own; Emscripten's POSIX layer serves the
# clock and the reading of the packed data files.
set(WEB_SOURCES
  src/driver/browser_show.cpp src/driver/show_frame.cpp src/driver/timeline.cpp
  src/driver/frame_state.cpp src/driver/data_files.cpp src/driver/capture_window.cpp
  src/platform/audio/audio.cpp src/platform/audio/music_engine.cpp src/platform/audio/spectrum.cpp
  src/platform/audio/audio_device_web.cpp src/platform/capture/music_recording_web.cpp
  src/platform/input/key_wait.cpp
  src/platform/system/clock.cpp src/platform/system/real_clock_posix.cpp
  src/platform/system/files_posix.cpp src/platform/system/file_names.cpp
  src/platform/terminal/console.cpp src/platform/terminal/memory_console.cpp
  src/platform/terminal/terminal_console_web.cpp)
file(GLOB WEB_CORE_SOURCES CONFIGURE_DEPENDS src/display/*.cpp src/render3d/*.cpp src/effects/*.cpp)
add_library(zorbel_web_core STATIC ${WEB_SOURCES} ${WEB_CORE_SOURCES})
target_include_directories(zorbel_web_core PUBLIC src ${ZORBEL_WEB_DEPS}/include)
target_compile_definitions(zorbel_web_core PUBLIC ZORBEL_VERSION="${PROJECT_VERSION}")
target_link_libraries(zorbel_web_core PUBLIC ${ZORBEL_WEB_DEPS}/lib/libopenmpt.a ${ZORBEL_WEB_DEPS}/lib/libfftw3f.a)

set(WEB_EXPORTS _zorbel_load _zorbel_begin _zorbel_frame _zorbel_toggle_pause _zorbel_paused _zorbel_still
  _zorbel_virtual_start _zorbel_virtual_frame _zorbel_picture _zorbel_palette _zorbel_picture_checksum
  _zorbel_demo_time _zorbel_bass_level _zorbel_prompt_line _zorbel_title _zorbel_render_audio)
list(JOIN WEB_EXPORTS "," WEB_EXPORT_LIST)
set(WEB_LINK_OPTIONS -sALLOW_MEMORY_GROWTH=1 -sEXPORTED_FUNCTIONS=${WEB_EXPORT_LIST}
  -sEXPORTED_RUNTIME_METHODS=UTF8ToString)

# An executable needs a source of its own; the show's entry points are the exports.
file(WRITE ${CMAKE_BINARY_DIR}/web_entry.cpp "// The page calls the exports of browser_show.h.\n")

add_executable(zorbel ${CMAKE_BINARY_DIR}/web_entry.cpp)
target_link_libraries(zorbel PRIVATE zorbel_web_core)
target_link_options(zorbel PRIVATE ${WEB_LINK_OPTIONS} -sENVIRONMENT=web
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/Data@/Data")
set_target_properties(zorbel PROPERTIES SUFFIX ".js")
set_property(TARGET zorbel APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/Data/QUABTUNE.xm)

# For Node.js: one file with the data inside, made by a function, so a test can start
# as many shows as it likes. Emscripten's own Node.js loader cannot read a .wasm file
# beside it under Node.js 20; inside the one file it needs no loading.
add_executable(zorbel_node ${CMAKE_BINARY_DIR}/web_entry.cpp)
target_link_libraries(zorbel_node PRIVATE zorbel_web_core)
target_link_options(zorbel_node PRIVATE ${WEB_LINK_OPTIONS} -sENVIRONMENT=node -sSINGLE_FILE=1
  -sMODULARIZE=1 -sEXPORT_NAME=createZorbel "SHELL:--embed-file ${CMAKE_SOURCE_DIR}/Data@/Data")
set_target_properties(zorbel_node PROPERTIES SUFFIX ".js" OUTPUT_NAME zorbel-node)

# The page's own files beside the build's.
file(GLOB WEB_PAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/page/*)
foreach(source ${WEB_PAGE_FILES})
  get_filename_component(name ${source} NAME)
  configure_file(${source} ${CMAKE_BINARY_DIR}/${name} COPYONLY)
endforeach()
