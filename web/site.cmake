# Writes the site's service worker (sw.js) from its template: the list of the site's
# files and a cache name made from their content hash. Rewritten only when that changes,
# so that a browser sees a new service worker exactly when the site has new content.
#   cmake -DSITE=<site folder> -DTEMPLATE=<web/sw.js> -DFILES=<names, ;-separated> -P site.cmake
list(SORT FILES)
set(manifest "")
set(PLIMO_SITE_FILES "'./'")
foreach(name IN LISTS FILES)
  file(SHA256 "${SITE}/${name}" sum)
  string(APPEND manifest "${name} ${sum}\n")
  string(APPEND PLIMO_SITE_FILES ", '${name}'")
endforeach()
string(SHA256 sum "${manifest}")
string(SUBSTRING "${sum}" 0 16 PLIMO_BUILD_HASH)
configure_file("${TEMPLATE}" "${SITE}/sw.js" @ONLY)
