# The libraries of the browser build, under the names the desktop build's pkg-config
# gives them: SDL 1.2 and SDL_mixer come with emscripten (no ports), TinyXML is compiled
# from Debian's source package, fetched into the build folder at configure time.
set(PLIMO_TINYXML_DIR "${CMAKE_BINARY_DIR}/tinyxml" CACHE PATH
    "Where web/fetch-tinyxml.sh puts Debian's TinyXML source (in source/)")
set(tinyxml_source "${PLIMO_TINYXML_DIR}/source")
if(NOT EXISTS "${tinyxml_source}/tinyxml.cpp")
  execute_process(COMMAND bash "${CMAKE_SOURCE_DIR}/web/fetch-tinyxml.sh" "${PLIMO_TINYXML_DIR}"
                  RESULT_VARIABLE fetched)
  if(NOT fetched EQUAL 0)
    message(FATAL_ERROR "Could not fetch Debian's TinyXML source (web/fetch-tinyxml.sh)")
  endif()
endif()

# The objects Debian's libtinyxml holds, built as Debian builds them (with the STL).
add_library(plimo_tinyxml STATIC
  ${tinyxml_source}/tinyxml.cpp ${tinyxml_source}/tinyxmlparser.cpp ${tinyxml_source}/tinyxmlerror.cpp)
target_compile_definitions(plimo_tinyxml PUBLIC TIXML_USE_STL)
target_include_directories(plimo_tinyxml SYSTEM PUBLIC ${tinyxml_source})
# Not our code: its warnings are not ours to fix.
target_compile_options(plimo_tinyxml PRIVATE -w)

add_library(PkgConfig::SDL INTERFACE IMPORTED)
add_library(PkgConfig::SDLMIXER INTERFACE IMPORTED)
add_library(PkgConfig::TINYXML INTERFACE IMPORTED)
set_target_properties(PkgConfig::TINYXML PROPERTIES INTERFACE_LINK_LIBRARIES plimo_tinyxml)
