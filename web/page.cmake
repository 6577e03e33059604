# The browser build of the game in <build>/site, which any static web server can serve as
# it is: the page (index.html, page.css, page.js, controls.js, and the practice settings
# panel's settings.js and settings.css), the game (plimo.js, plimo.wasm), its data
# packed and compressed (plimo.data), the app manifest with the game's icons, and the
# service worker (sw.js) that keeps all of it for offline play,
# under a cache named by the build's content hash.
set(PLIMO_SITE_DIR "${CMAKE_BINARY_DIR}/site")
set(web_dir "${CMAKE_SOURCE_DIR}/web")

target_sources(plimo PRIVATE ${web_dir}/test_hooks.cpp)
set_target_properties(plimo PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${PLIMO_SITE_DIR}")
target_link_options(plimo PRIVATE
  # Pictures are decoded by stb_image (shipped with emscripten), synchronously as SDL's
  # loader does, from the unpacked files.
  "SHELL:-s STB_IMAGE=1"
  # Emscripten 3.1.6 asks for these itself but loses stbi_load on the way.
  "SHELL:-s EXPORTED_FUNCTIONS=_main,_stbi_load,_stbi_load_from_memory,_stbi_image_free"
  # The page unpacks the data into the file system before main, and starts main itself
  # at the player's first tap or key (page.js).
  "SHELL:-s FORCE_FILESYSTEM=1"
  "SHELL:-s EXPORTED_RUNTIME_METHODS=callMain,addRunDependency,removeRunDependency,FS_createDataFile,FS_createPath"
  # exit, after the game has shut its sound and SDL down itself, ends the runtime and
  # tells the page (Module.onExit), which says that the game has ended.
  "SHELL:-s EXIT_RUNTIME=1"
  "SHELL:-s ALLOW_MEMORY_GROWTH=1"
  "SHELL:-s ENVIRONMENT=web"
  "SHELL:--js-library ${web_dir}/sdl_surfaces.js"
  "SHELL:--js-library ${web_dir}/sdl_audio.js"
  "SHELL:--js-library ${web_dir}/test_hooks.js")
set_property(TARGET plimo APPEND PROPERTY LINK_DEPENDS
  ${web_dir}/sdl_surfaces.js ${web_dir}/sdl_audio.js ${web_dir}/test_hooks.js)

# The data folder, less what the game never reads, packed as the page unpacks it.
file(GLOB web_data RELATIVE ${CMAKE_SOURCE_DIR}/data CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
list(REMOVE_ITEM web_data icon.png LICENSE-fonts.txt)
list(TRANSFORM web_data PREPEND ${CMAKE_SOURCE_DIR}/data/ OUTPUT_VARIABLE web_data_paths)
add_custom_command(OUTPUT ${PLIMO_SITE_DIR}/plimo.data
  COMMAND bash ${web_dir}/pack-data.sh ${PLIMO_SITE_DIR}/plimo.data ${CMAKE_SOURCE_DIR}/data ${web_data}
  DEPENDS ${web_dir}/pack-data.sh ${web_data_paths} VERBATIM)

# The page and the fonts' licence, copied whenever they change; the game's icons for the
# app manifest and the page.
set(site_files ${PLIMO_SITE_DIR}/plimo.data)
foreach(file index.html page.css page.js controls.js settings.js settings.css progress.js progress.css manifest.json)
  add_custom_command(OUTPUT ${PLIMO_SITE_DIR}/${file} DEPENDS ${web_dir}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${web_dir}/${file} ${PLIMO_SITE_DIR}/${file})
  list(APPEND site_files ${PLIMO_SITE_DIR}/${file})
endforeach()
add_custom_command(OUTPUT ${PLIMO_SITE_DIR}/LICENSE-fonts.txt DEPENDS ${CMAKE_SOURCE_DIR}/data/LICENSE-fonts.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/LICENSE-fonts.txt ${PLIMO_SITE_DIR}/LICENSE-fonts.txt)
list(APPEND site_files ${PLIMO_SITE_DIR}/LICENSE-fonts.txt)
foreach(size 32 48 64 128 256)
  set(icon ${CMAKE_SOURCE_DIR}/packaging/icons/hicolor/${size}x${size}/apps/plimo.png)
  add_custom_command(OUTPUT ${PLIMO_SITE_DIR}/icons/plimo-${size}.png DEPENDS ${icon}
    COMMAND ${CMAKE_COMMAND} -E copy ${icon} ${PLIMO_SITE_DIR}/icons/plimo-${size}.png)
  list(APPEND site_files ${PLIMO_SITE_DIR}/icons/plimo-${size}.png)
endforeach()
add_custom_target(plimo_page DEPENDS ${site_files})

# The service worker names its cache by the hash of every other file of the site, so it
# is written after them, each build (web/site.cmake rewrites it only when that changes).
list(TRANSFORM site_files REPLACE "^${PLIMO_SITE_DIR}/" "" OUTPUT_VARIABLE site_names)
add_custom_target(plimo_site ALL
  COMMAND ${CMAKE_COMMAND} -DSITE=${PLIMO_SITE_DIR} -DTEMPLATE=${web_dir}/sw.js
          "-DFILES=${site_names};plimo.js;plimo.wasm" -P ${web_dir}/site.cmake
  VERBATIM)
add_dependencies(plimo_site plimo plimo_page)

# Every SDL and SDL_mixer function the core calls is answered by the page's JavaScript or
# left to emscripten's SDL knowingly (web/sdl_symbols.txt); checked before the game links.
set(sdl_symbols_checked "${CMAKE_BINARY_DIR}/sdl_symbols.checked")
# emscripten's own nm reads its objects; CMAKE_NM is GNU nm where no llvm-nm is on the PATH
# (a machine with emscripten alone), which cannot.
find_program(PLIMO_WASM_NM NAMES emnm llvm-nm REQUIRED)
set(js_libraries ${web_dir}/sdl_surfaces.js ${web_dir}/sdl_audio.js ${web_dir}/test_hooks.js)
add_custom_command(OUTPUT ${sdl_symbols_checked}
  COMMAND ${web_dir}/check_sdl_symbols.sh ${PLIMO_WASM_NM} ${web_dir}/sdl_symbols.txt $<TARGET_FILE:plimo_core> ${js_libraries}
  COMMAND ${CMAKE_COMMAND} -E touch ${sdl_symbols_checked}
  DEPENDS plimo_core $<TARGET_FILE:plimo_core> ${web_dir}/check_sdl_symbols.sh ${web_dir}/sdl_symbols.txt ${js_libraries}
  VERBATIM)
add_custom_target(plimo_sdl_symbols DEPENDS ${sdl_symbols_checked})
add_dependencies(plimo plimo_sdl_symbols)
