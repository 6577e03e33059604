# The browser build of the game in <build>/site, which any static web server can serve as
# it is: the page's own files (PLIMO_PAGE_FILES below), the game (plimo.js, plimo.wasm),
# its data packed and compressed (plimo.data), the game's icons and the fonts' licence,
# and the service worker (sw.js) that keeps all of it for offline play. index.html and
# sw.js are written last, from web/index.html and web/sw.js, with the hash of every other
# file (web/site.cmake). The browser test's variant of the game, which also exports
# read-only views of its state, goes with the same page into <build>/site-test
# (target plimo_test_site); the public site has none of it.
set(PLIMO_SITE_DIR "${CMAKE_BINARY_DIR}/site")
set(PLIMO_TEST_SITE_DIR "${CMAKE_BINARY_DIR}/site-test")
set(web_dir "${CMAKE_SOURCE_DIR}/web")

# The page's own files, the one list of them: each is copied into the site, kept by the
# service worker with its hash, and the styles and scripts among them are named by
# index.html in this order (scripts as modules; page.js is the one the others import).
set(PLIMO_PAGE_FILES page.css settings.css progress.css page.js controls.js settings.js progress.js manifest.json)

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

target_sources(plimo PRIVATE ${web_dir}/page_exports.cpp)
set_target_properties(plimo PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${PLIMO_SITE_DIR}")
target_link_options(plimo PRIVATE ${game_link_options})
set_property(TARGET plimo APPEND PROPERTY LINK_DEPENDS ${game_libraries})

add_executable(plimo_hooked src/shell/main.cpp ${web_dir}/page_exports.cpp ${web_dir}/test_hooks.cpp)
target_link_libraries(plimo_hooked PRIVATE plimo_core)
set_target_properties(plimo_hooked PROPERTIES OUTPUT_NAME plimo SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${PLIMO_TEST_SITE_DIR}"
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

# Every file of a site but the game's own two, index.html and sw.js: source, site name.
set(site_sources ${CMAKE_BINARY_DIR}/plimo.data plimo.data
                 ${CMAKE_SOURCE_DIR}/data/LICENSE-fonts.txt LICENSE-fonts.txt)
foreach(file IN LISTS PLIMO_PAGE_FILES)
  list(APPEND site_sources ${web_dir}/${file} ${file})
endforeach()
foreach(size 32 48 64 128 256)
  list(APPEND site_sources ${CMAKE_SOURCE_DIR}/packaging/icons/hicolor/${size}x${size}/apps/plimo.png icons/plimo-${size}.png)
endforeach()

# A site in dir around the game target: its files copied whenever they change, then
# index.html and sw.js written from their templates with every file's hash (rewritten
# only when that changes, so that a browser sees a new service worker exactly when the
# site has new content).
function(plimo_site name dir game all)
  set(copied "")
  set(names plimo.js plimo.wasm)
  set(sources ${site_sources})
  while(sources)
    list(POP_FRONT sources source file)
    add_custom_command(OUTPUT ${dir}/${file} DEPENDS ${source}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${dir}/${file})
    list(APPEND copied ${dir}/${file})
    list(APPEND names ${file})
  endwhile()
  add_custom_target(${name}_files DEPENDS ${copied})
  string(REPLACE ";" "," page_files "${PLIMO_PAGE_FILES}")
  string(REPLACE ";" "," site_files "${names}")
  add_custom_target(${name} ${all}
    COMMAND ${CMAKE_COMMAND} -DSITE=${dir} -DWEB=${web_dir} -DOPTIONS=${CMAKE_SOURCE_DIR}/src/shell/options.def
            -DPAGE=${page_files} -DFILES=${site_files} -P ${web_dir}/site.cmake
    VERBATIM)
  add_dependencies(${name} ${game} ${name}_files)
endfunction()
plimo_site(plimo_site ${PLIMO_SITE_DIR} plimo ALL)
plimo_site(plimo_test_site ${PLIMO_TEST_SITE_DIR} plimo_hooked "")

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
