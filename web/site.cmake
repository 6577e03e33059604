# Writes a site's index.html and sw.js from their templates (web/index.html, web/sw.js):
# - index.html names the page's styles and scripts (PAGE, in order) each with its hash
#   (integrity), so that a browser never runs a page file of another build; carries the
#   hashes of the game's own files (plimo.js, plimo.wasm, plimo.data), which the page
#   checks the same way; and the practice options the page offers, read from the game's
#   table of options (OPTIONS: the rows with a page label);
# - sw.js lists every file of the site with its SHA-256 (index.html included) and names
#   the build by the hash of that list.
# Each is rewritten only when it changes, so that a browser sees a new service worker
# exactly when the site has new content.
#   cmake -DSITE=<site folder> -DWEB=<web/> -DOPTIONS=<options.def> -DPAGE=<a,b,...>
#         -DFILES=<every file but index.html and sw.js, a,b,...> -P site.cmake
string(REPLACE "," ";" PAGE "${PAGE}")
string(REPLACE "," ";" FILES "${FILES}")

# A hash in hexadecimal as base64, the form a browser's integrity check takes.
function(hex_to_base64 hex out)
  set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
  string(LENGTH "${hex}" length)
  set(text "")
  set(at 0)
  while(at LESS length)
    math(EXPR left "${length} - ${at}")
    if(left GREATER 6)
      set(left 6)
    endif()
    string(SUBSTRING "${hex}000000" ${at} 6 group) # 3 bytes, zeros after the end
    math(EXPR bits "0x${group}")
    math(EXPR chars "(${left} * 4 + 5) / 6") # characters that carry bits of this group
    foreach(shift 18 12 6 0)
      if(chars GREATER 0)
        math(EXPR index "(${bits} >> ${shift}) & 63")
        string(SUBSTRING "${alphabet}" ${index} 1 char)
        string(APPEND text "${char}")
      else()
        string(APPEND text "=")
      endif()
      math(EXPR chars "${chars} - 1")
    endforeach()
    math(EXPR at "${at} + 6")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(integrity file out)
  file(SHA256 "${SITE}/${file}" sum)
  hex_to_base64(${sum} b64)
  set(${out} "sha256-${b64}" PARENT_SCOPE)
endfunction()

# index.html
set(PLIMO_PAGE_TAGS "")
foreach(file IN LISTS PAGE)
  integrity(${file} hash)
  if(file MATCHES "\\.css$")
    string(APPEND PLIMO_PAGE_TAGS "<link rel=\"stylesheet\" href=\"${file}\" integrity=\"${hash}\">\n")
  elseif(file MATCHES "\\.js$")
    string(APPEND PLIMO_PAGE_TAGS "<script type=\"module\" src=\"${file}\" integrity=\"${hash}\"></script>\n")
  endif()
endforeach()
set(game "")
foreach(file plimo.js plimo.wasm plimo.data)
  integrity(${file} hash)
  list(APPEND game "\"${file}\": \"${hash}\"")
endforeach()
list(JOIN game ", " game)
set(PLIMO_GAME_HASHES "{${game}}")

# Rows OPTION(Id, "word", "VALUE", "page label", "help line"): those with a page label,
# as [word, value, label]. The strings hold no quotes or backslashes; a "<" is escaped so
# that no text can end the script element it is written in.
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
list(JOIN options ",\n " options)
string(REPLACE "<" "\\u003c" options "${options}")
set(PLIMO_PAGE_OPTIONS "[${options}]")
# The inline script that speaks in a sandboxed frame, allowed by its hash.
file(READ "${WEB}/index.html" template)
if(NOT template MATCHES "<script id=\"plimo-frame-check\">([^<]*)</script>")
  message(FATAL_ERROR "${WEB}/index.html: no <script id=\"plimo-frame-check\">")
endif()
string(SHA256 sum "${CMAKE_MATCH_1}")
hex_to_base64(${sum} b64)
set(PLIMO_FRAME_CHECK_HASH "sha256-${b64}")
configure_file("${WEB}/index.html" "${SITE}/index.html" @ONLY)

# sw.js
list(APPEND FILES index.html)
list(SORT FILES)
set(manifest "")
set(PLIMO_SITE_FILES "")
foreach(name IN LISTS FILES)
  file(SHA256 "${SITE}/${name}" sum)
  string(APPEND manifest "${name} ${sum}\n")
  string(APPEND PLIMO_SITE_FILES "\n  '${name}': '${sum}',")
  if(name STREQUAL "index.html")
    string(APPEND PLIMO_SITE_FILES "\n  './': '${sum}',")
  endif()
endforeach()
string(SHA256 sum "${manifest}")
string(SUBSTRING "${sum}" 0 16 PLIMO_BUILD_HASH)
configure_file("${WEB}/sw.js" "${SITE}/sw.js" @ONLY)
