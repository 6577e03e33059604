# Install rules laid out as Debian lays out games, and the Debian package made from them by CPack.
#
# Layout under the prefix (all relative, so DESTDIR staging and any other prefix work):
#   games/plimo                the launcher on the PATH: enters the data folder, runs the game
#   lib/games/plimo/plimo      the game itself, which reads every file from its working directory
#   share/games/plimo/         the content file, pictures, font, music and effects
#   games/plimo-check-content  the translators' content checker
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man6, share/doc/plimo
include(GNUInstallDirs)

set(PLIMO_INSTALL_GAMESDIR "games" CACHE STRING
    "Directory of the plimo launcher, relative to the install prefix")
set(PLIMO_INSTALL_LIBEXECDIR "lib/games/plimo" CACHE STRING
    "Directory of the game's own executable, relative to the install prefix")
set(PLIMO_INSTALL_DATADIR "${CMAKE_INSTALL_DATAROOTDIR}/games/plimo" CACHE STRING
    "Directory of the game's data files, relative to the install prefix")

# Debian wants a name and a mail address; set the project's real one when publishing.
set(PLIMO_PACKAGE_MAINTAINER "Plimo developers <plimo-developers@plimo.invalid>" CACHE STRING
    "Maintainer of the Debian package and signer of its changelog")

# `cmake --install` writes the list of installed files into the build folder. Made here,
# by whoever configures, it stays theirs when a later `sudo cmake --install` rewrites it,
# so that installing again elsewhere without sudo is not refused.
file(TOUCH ${CMAKE_BINARY_DIR}/install_manifest.txt)

set(PLIMO_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(PLIMO_GENERATED_DIR ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${PLIMO_GENERATED_DIR})

# The launcher finds the game and its data relative to its own location, so it keeps
# working when the whole tree is staged under DESTDIR or moved to another prefix.
file(RELATIVE_PATH PLIMO_LAUNCHER_TO_BINARY
     /prefix/${PLIMO_INSTALL_GAMESDIR} /prefix/${PLIMO_INSTALL_LIBEXECDIR}/plimo)
file(RELATIVE_PATH PLIMO_LAUNCHER_TO_DATA
     /prefix/${PLIMO_INSTALL_GAMESDIR} /prefix/${PLIMO_INSTALL_DATADIR})
configure_file(${PLIMO_PACKAGING_DIR}/plimo.sh.in ${PLIMO_GENERATED_DIR}/plimo @ONLY)

install(TARGETS plimo RUNTIME DESTINATION ${PLIMO_INSTALL_LIBEXECDIR})
install(PROGRAMS ${PLIMO_GENERATED_DIR}/plimo DESTINATION ${PLIMO_INSTALL_GAMESDIR})
install(TARGETS plimo-check-content RUNTIME DESTINATION ${PLIMO_INSTALL_GAMESDIR})

# Whatever data/ holds when installing, except the sources that only the asset
# generators read (the icon emblem ships as hicolor icons instead) and licence texts,
# which Debian wants in one place: share/doc/plimo/copyright.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${PLIMO_INSTALL_DATADIR}
        PATTERN ".*" EXCLUDE
        PATTERN "__pycache__" EXCLUDE
        PATTERN "*.py" EXCLUDE
        PATTERN "*.pyc" EXCLUDE
        PATTERN "*.md" EXCLUDE
        PATTERN "*.svg" EXCLUDE
        PATTERN "*.xcf" EXCLUDE
        PATTERN "*.sfd" EXCLUDE
        PATTERN "*.mid" EXCLUDE
        PATTERN "*.abc" EXCLUDE
        PATTERN "LICENSE*" EXCLUDE
        PATTERN "icon.png" EXCLUDE)

install(FILES ${PLIMO_PACKAGING_DIR}/plimo.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
# What software centres show of the game (its AppStream component, launched through
# plimo.desktop).
install(FILES ${PLIMO_PACKAGING_DIR}/io.github.plimo.Plimo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(DIRECTORY ${PLIMO_PACKAGING_DIR}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons)

# Manual pages and the changelog are shipped gzipped (-n: no name or time stamp inside),
# as Debian wants them; without gzip they go in as they are.
find_program(PLIMO_GZIP gzip)
set(PLIMO_GZIPPED_DOCS)
function(plimo_gzipped_doc source output destination)
  if(PLIMO_GZIP)
    add_custom_command(
      OUTPUT ${PLIMO_GENERATED_DIR}/${output}.gz
      COMMAND sh -c "\"${PLIMO_GZIP}\" -9nc \"${source}\" > \"${PLIMO_GENERATED_DIR}/${output}.gz\""
      DEPENDS ${source}
      VERBATIM)
    set(PLIMO_GZIPPED_DOCS ${PLIMO_GZIPPED_DOCS} ${PLIMO_GENERATED_DIR}/${output}.gz PARENT_SCOPE)
    install(FILES ${PLIMO_GENERATED_DIR}/${output}.gz DESTINATION ${destination})
  else()
    install(FILES ${source} DESTINATION ${destination} RENAME ${output})
  endif()
endfunction()
plimo_gzipped_doc(${PLIMO_PACKAGING_DIR}/plimo.6 plimo.6 ${CMAKE_INSTALL_MANDIR}/man6)
plimo_gzipped_doc(${PLIMO_PACKAGING_DIR}/plimo-check-content.6 plimo-check-content.6
                  ${CMAKE_INSTALL_MANDIR}/man6)
# The changelog's sign-off names the package maintainer.
configure_file(${PLIMO_PACKAGING_DIR}/changelog ${PLIMO_GENERATED_DIR}/changelog @ONLY)
plimo_gzipped_doc(${PLIMO_GENERATED_DIR}/changelog changelog ${CMAKE_INSTALL_DOCDIR})
if(PLIMO_GZIPPED_DOCS)
  add_custom_target(plimo-docs ALL DEPENDS ${PLIMO_GZIPPED_DOCS})
endif()
install(FILES ${PLIMO_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PLIMO_PACKAGING_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME plimo)

include(${PLIMO_PACKAGING_DIR}/cpack.cmake)
