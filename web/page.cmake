# The browser build of the game in <build>/site, which any static web server can serve as
# it is. At its top the files that stay when the game changes: index.html (the page's
# frame), boot.js (which picks the build to play), sw.js (the service worker that keeps
# builds for offline play), the manifest, the game's icons and the fonts' licence. The
# build itself, named by its content, is a folder b/<hash>/ whose files never change once
# written: the page's own files (PLIMO_PAGE_FILES below), the game (plimo.js,
# plimo.wasm), its data packed and compressed (plimo.data) and build.json, which lists
# every one of them with its hash. current.json names the current build and the one
# before it, whose folder stays (web/site.cmake). The game and the build's files are
# gathered in <build>/stage first. Beside the site, plimo.html holds all of the current
# build in one page that plays from a file (see below). The browser test's variant of the game, which also
# exports read-only views of its state, goes with the same page into <build>/site-test
# (target plimo_test_site); the public site has none of it.
set(PLIMO_SITE_DIR "${CMAKE_BINARY_DIR}/site")
set(PLIMO_TEST_SITE_DIR "${CMAKE_BINARY_DIR}/site-test")
set(PLIMO_STAGE_DIR "${CMAKE_BINARY_DIR}/stage")
set(PLIMO_TEST_STAGE_DIR "${CMAKE_BINARY_DIR}/stage-test")
set(web_dir "${CMAKE_SOURCE_DIR}/web")

# The page's own files, the one list of them: each is copied into the site, kept by the
# build's list with its hash, and boot.js adds the styles and scripts among them to the
# page in this order (scripts as modules; page.js is the one the others import).
set(PLIMO_PAGE_FILES page.css settings.css progress.css page.js controls.js settings.js progress.js class.js)
# The files at the site's top, the same for every build: source, site name.
set(root_sources ${web_dir}/index.html index.html ${web_dir}/boot.js boot.js ${web_dir}/sw.js sw.js
                 ${web_dir}/manifest.json manifest.json ${CMAKE_SOURCE_DIR}/data/LICENSE-fonts.txt LICENSE-fonts.txt)
foreach(size 32 48 64 128 256)
  list(APPEND root_sources ${CMAKE_SOURCE_DIR}/packaging/icons/hicolor/${size}x${size}/apps/plimo.png icons/plimo-${size}.png)
endforeach()

# The game as the page loads it: a factory (createPlimo) that makes a fresh instance of
# the game each time the page starts it, so that a game that has ended can start anew.
set(game_link_options
  # Pictures are decoded by stb_image (shipped with emscripten), synchronously as SDL's
  # loader does, from the unpacked files.
  "SHELL:-s STB_IMAGE=1"
  # Emscripten 3.1.6 asks for these itself but loses stbi_load on the way.
  "SHELL:-s EXPORTED_FUNCTIONS=_main,_stbi_load,_stbi_load_from_memory,_stbi_image_free"
  # The page unpacks the data into the file system before main, and starts main itself
  # at the player's first tap or key (page.js).
  "SHELL:-s FORCE_FILESYSTEM=1"
  "SHELL:-s EXPORTED_RUNTIME_METHODS=callMain,addRunDependency,removeRunDependency,FS_createDataFile,FS_createPath,FS,ccall"
  # exit, after the game has shut its sound and SDL down itself, ends the runtime and
  # tells the page (Module.onExit), which offers to start anew.
  "SHELL:-s EXIT_RUNTIME=1"
  "SHELL:-s ALLOW_MEMORY_GROWTH=1"
  "SHELL:-s ENVIRONMENT=web"
  "SHELL:-s MODULARIZE=1"
  "SHELL:-s EXPORT_NAME=createPlimo"
  "SHELL:--js-library ${web_dir}/sdl_surfaces.js"
  "SHELL:--js-library ${web_dir}/sdl_audio.js"
  "SHELL:--js-library ${web_dir}/sdl_page.js")
set(game_libraries ${web_dir}/sdl_surfaces.js ${web_dir}/sdl_audio.js ${web_dir}/sdl_page.js)

target_sources(plimo PRIVATE ${web_dir}/page_exports.cpp ${web_dir}/class_exports.cpp)
set_target_properties(plimo PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${PLIMO_STAGE_DIR}")
target_link_options(plimo PRIVATE ${game_link_options})
set_property(TARGET plimo APPEND PROPERTY LINK_DEPENDS ${game_libraries})

add_executable(plimo_hooked src/shell/main.cpp ${web_dir}/page_exports.cpp ${web_dir}/class_exports.cpp ${web_dir}/test_hooks.cpp)
target_link_libraries(plimo_hooked PRIVATE plimo_core)
set_target_properties(plimo_hooked PROPERTIES OUTPUT_NAME plimo SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${PLIMO_TEST_STAGE_DIR}"
                      EXCLUDE_FROM_ALL ON)
target_link_options(plimo_hooked PRIVATE ${game_link_options} "SHELL:--js-library ${web_dir}/test_hooks.js")
set_property(TARGET plimo_hooked APPEND PROPERTY LINK_DEPENDS ${game_libraries} ${web_dir}/test_hooks.js)

# The data folder, less what the game never reads, packed as the page unpacks it.
file(GLOB web_data RELATIVE ${CMAKE_SOURCE_DIR}/data CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
list(REMOVE_ITEM web_data icon.png LICENSE-fonts.txt)
list(TRANSFORM web_data PREPEND ${CMAKE_SOURCE_DIR}/data/ OUTPUT_VARIABLE web_data_paths)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/plimo.data
  COMMAND bash ${web_dir}/pack-data.sh ${CMAKE_BINARY_DIR}/plimo.data ${CMAKE_SOURCE_DIR}/data ${web_data}
  DEPENDS ${web_dir}/pack-data.sh ${web_data_paths} VERBATIM)

# The build's files but the game's own two: source, name.
set(build_sources ${CMAKE_BINARY_DIR}/plimo.data plimo.data)
foreach(file IN LISTS PLIMO_PAGE_FILES)
  list(APPEND build_sources ${web_dir}/${file} ${file})
endforeach()

# A site in dir around the game target, whose files are gathered in stage: the top's files
# copied whenever they change, the build's into stage; then the build's folder b/<hash>/
# and current.json written from stage (web/site.cmake), a folder only when it is new.
function(plimo_site name dir stage game all single)
  set(copied "")
  set(names plimo.js plimo.wasm)
  foreach(kind root build)
    set(sources ${${kind}_sources})
    set(into ${dir})
    if(kind STREQUAL "build")
      set(into ${stage})
    endif()
    while(sources)
      list(POP_FRONT sources source file)
      add_custom_command(OUTPUT ${into}/${file} DEPENDS ${source}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${into}/${file})
      list(APPEND copied ${into}/${file})
      if(kind STREQUAL "build")
        list(APPEND names ${file})
      endif()
    endwhile()
  endforeach()
  add_custom_target(${name}_files DEPENDS ${copied})
  string(REPLACE ";" "," page_files "${PLIMO_PAGE_FILES}")
  string(REPLACE ";" "," build_files "${names}")
  add_custom_target(${name} ${all}
    COMMAND ${CMAKE_COMMAND} -DSITE=${dir} -DSTAGE=${stage} -DOPTIONS=${CMAKE_SOURCE_DIR}/src/shell/options.def
            -DPAGE=${page_files} -DFILES=${build_files} -P ${web_dir}/site.cmake
    COMMAND ${PLIMO_PYTHON} ${web_dir}/single_page.py ${dir} ${web_dir}/index.html ${single}
    VERBATIM)
  add_dependencies(${name} ${game} ${name}_files)
endfunction()
# The whole game in one page, <build>/plimo.html, written from the site's current build
# (web/single_page.py): it plays from a file, with no server (a USB stick, a shared
# folder). The test's variant, with the test's hooks, is <build>/plimo-test.html.
find_program(PLIMO_PYTHON NAMES python3 REQUIRED)
plimo_site(plimo_site ${PLIMO_SITE_DIR} ${PLIMO_STAGE_DIR} plimo ALL ${CMAKE_BINARY_DIR}/plimo.html)
plimo_site(plimo_test_site ${PLIMO_TEST_SITE_DIR} ${PLIMO_TEST_STAGE_DIR} plimo_hooked "" ${CMAKE_BINARY_DIR}/plimo-test.html)

# Every SDL and SDL_mixer function the core calls is answered by the page's JavaScript or
# left to emscripten's SDL knowingly (web/sdl_symbols.txt); checked before the game links.
set(sdl_symbols_checked "${CMAKE_BINARY_DIR}/sdl_symbols.checked")
# emscripten's own nm reads its objects; CMAKE_NM is GNU nm where no llvm-nm is on the PATH
# (a machine with emscripten alone), which cannot.
find_program(PLIMO_WASM_NM NAMES emnm llvm-nm REQUIRED)
set(js_libraries ${game_libraries} ${web_dir}/test_hooks.js)
add_custom_command(OUTPUT ${sdl_symbols_checked}
  COMMAND ${web_dir}/check_sdl_symbols.sh ${PLIMO_WASM_NM} ${web_dir}/sdl_symbols.txt $<TARGET_FILE:plimo_core> ${js_libraries}
  COMMAND ${CMAKE_COMMAND} -E touch ${sdl_symbols_checked}
  DEPENDS plimo_core $<TARGET_FILE:plimo_core> ${web_dir}/check_sdl_symbols.sh ${web_dir}/sdl_symbols.txt ${js_libraries}
  VERBATIM)
add_custom_target(plimo_sdl_symbols DEPENDS ${sdl_symbols_checked})
add_dependencies(plimo plimo_sdl_symbols)
add_dependencies(plimo_hooked plimo_sdl_symbols)
