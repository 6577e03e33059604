# The browser build of the game: plimo.js, plimo.wasm and plimo.data (the data folder,
# packed) beside the page, all in <build>/site, which any static web server can serve.
set(PLIMO_SITE_DIR "${CMAKE_BINARY_DIR}/site")
set(web_dir "${CMAKE_SOURCE_DIR}/web")

target_sources(plimo PRIVATE ${web_dir}/test_hooks.cpp)
set_target_properties(plimo PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${PLIMO_SITE_DIR}")
target_link_options(plimo PRIVATE
  # Pictures are decoded by stb_image (shipped with emscripten), synchronously as SDL's
  # loader does, from the packed files.
  "SHELL:-s STB_IMAGE=1"
  # Emscripten 3.1.6 asks for these itself but loses stbi_load on the way.
  "SHELL:-s EXPORTED_FUNCTIONS=_main,_stbi_load,_stbi_load_from_memory,_stbi_image_free"
  # exit runs the exit handlers (the audio is closed) and tells the page.
  "SHELL:-s EXIT_RUNTIME=1"
  "SHELL:-s ALLOW_MEMORY_GROWTH=1"
  "SHELL:-s ENVIRONMENT=web"
  "SHELL:--js-library ${web_dir}/sdl_surfaces.js"
  "SHELL:--js-library ${web_dir}/sdl_audio.js"
  # The data folder becomes the working directory of the game ("/").
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data@/"
  "SHELL:--exclude-file ${CMAKE_SOURCE_DIR}/data/icon.png"
  "SHELL:--exclude-file ${CMAKE_SOURCE_DIR}/data/LICENSE-fonts.txt")
file(GLOB web_data CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
set_property(TARGET plimo APPEND PROPERTY LINK_DEPENDS ${web_dir}/sdl_surfaces.js ${web_dir}/sdl_audio.js ${web_data})

# The page, its icon and the fonts' licence, copied beside the game whenever they change.
set(site_files "")
foreach(file ${web_dir}/index.html ${CMAKE_SOURCE_DIR}/data/icon.png ${CMAKE_SOURCE_DIR}/data/LICENSE-fonts.txt)
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${PLIMO_SITE_DIR}/${name} DEPENDS ${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${PLIMO_SITE_DIR}/${name})
  list(APPEND site_files ${PLIMO_SITE_DIR}/${name})
endforeach()
add_custom_target(plimo_page ALL DEPENDS ${site_files})
add_dependencies(plimo plimo_page)
