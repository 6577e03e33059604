# Writes a build of the game into a site from the files gathered in STAGE:
# - b/<hash>/, a folder that holds the build's files (FILES) and build.json, which lists
#   each file with its SHA-256, the page's styles and scripts in the order the page adds
#   them (PAGE), and the practice options the page offers, read from the game's table of
#   options (OPTIONS: the rows with a page label). <hash> is the start of build.json's own
#   SHA-256, so that a folder's name says its content, and its files never change once
#   written: a build already there is left as it is.
# - current.json, {"current": "<hash>", "previous": "<hash>"}: this build, and the one that
#   was current before it (its folder stays, so that a visitor who arrives while an update
#   is being copied plays it). Folders of older builds are removed.
# Both are written under another name first and then renamed, so that a server serving
# the site while it is built never shows half of either.
#   cmake -DSITE=<site folder> -DSTAGE=<folder of the build's files> -DOPTIONS=<options.def>
#         -DPAGE=<a,b,...> -DFILES=<a,b,...> -P site.cmake
string(REPLACE "," ";" PAGE "${PAGE}")
string(REPLACE "," ";" FILES "${FILES}")

# Rows OPTION(Id, "word", "VALUE", "page label", "help line"): those with a page label,
# as [word, value, label]. The strings hold no quotes or backslashes.
file(STRINGS "${OPTIONS}" rows REGEX "^OPTION\\(")
set(options "")
foreach(row IN LISTS rows)
  if(NOT row MATCHES "^OPTION\\(([A-Za-z0-9]+), \"([^\"]*)\", \"([^\"]*)\", \"([^\"]*)\", \"([^\"]*)\"\\)$")
    message(FATAL_ERROR "${OPTIONS}: a row the page cannot read: ${row}")
  endif()
  if(NOT CMAKE_MATCH_4 STREQUAL "")
    list(APPEND options "[\"${CMAKE_MATCH_2}\", \"${CMAKE_MATCH_3}\", \"${CMAKE_MATCH_4}\"]")
  endif()
endforeach()
list(JOIN options ",\n  " options)

set(page "")
foreach(file IN LISTS PAGE)
  list(APPEND page "\"${file}\"")
endforeach()
list(JOIN page ", " page)
list(SORT FILES)
set(sums "")
foreach(file IN LISTS FILES)
  file(SHA256 "${STAGE}/${file}" sum)
  list(APPEND sums "\"${file}\": \"${sum}\"")
endforeach()
list(JOIN sums ",\n  " sums)
set(manifest "{\n\"page\": [${page}],\n\"files\": {\n  ${sums}\n},\n\"options\": [\n  ${options}\n]\n}\n")
string(SHA256 sum "${manifest}")
string(SUBSTRING "${sum}" 0 16 build)

set(folder "${SITE}/b/${build}")
if(NOT IS_DIRECTORY "${folder}")
  set(scratch "${SITE}/b/.${build}.new")
  file(REMOVE_RECURSE "${scratch}")
  file(MAKE_DIRECTORY "${scratch}")
  foreach(file IN LISTS FILES)
    file(COPY_FILE "${STAGE}/${file}" "${scratch}/${file}")
  endforeach()
  file(WRITE "${scratch}/build.json" "${manifest}")
  file(RENAME "${scratch}" "${folder}")
endif()

# The build current so far becomes the previous one, if its folder is there.
set(previous "")
if(EXISTS "${SITE}/current.json")
  file(READ "${SITE}/current.json" current)
  if(current MATCHES "\"current\": \"([0-9a-f]+)\".*\"previous\": \"([0-9a-f]*)\"")
    set(previous "${CMAKE_MATCH_1}")
    if(previous STREQUAL build)
      set(previous "${CMAKE_MATCH_2}")
    endif()
  endif()
endif()
if(NOT previous STREQUAL "" AND NOT IS_DIRECTORY "${SITE}/b/${previous}")
  set(previous "")
endif()
file(WRITE "${SITE}/.current.json.new" "{\"current\": \"${build}\", \"previous\": \"${previous}\"}\n")
file(RENAME "${SITE}/.current.json.new" "${SITE}/current.json")

file(GLOB folders LIST_DIRECTORIES true RELATIVE "${SITE}/b" "${SITE}/b/*")
foreach(name IN LISTS folders)
  if(NOT name STREQUAL build AND NOT name STREQUAL previous)
    file(REMOVE_RECURSE "${SITE}/b/${name}")
  endif()
endforeach()
