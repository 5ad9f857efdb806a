# `cmake --install` and the Debian package lay the game out alike, as Debian
# lays out games: the program with its music and effects in one folder (it
# finds them beside itself), a launcher among the games, the desktop entry,
# icons, AppStream metadata, the manual page and the copyright file.
include(GNUInstallDirs)
set(PIKORA_GAME_DIR lib/games/pikora CACHE STRING "Folder of the program, bg/ and se/, under the prefix")
set(PIKORA_LAUNCHER_DIR games CACHE STRING "Folder of the pikora command, under the prefix")
set(PIKORA_MAINTAINER "The Pikora developers <pikora@users.noreply.example>" CACHE STRING
    "Maintainer of the package, also the copyright file's contact")
# The desktop entry and the metadata are named by one reverse-domain id.
set(PIKORA_APP_ID jp.pikora.Pikora)
# Installing and packaging take what is built; they do not build the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# packaging/changelog names the release; a new project version needs an entry.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/changelog PIKORA_CHANGELOG)
list(GET PIKORA_CHANGELOG 0 top)
if(NOT top MATCHES "^pikora \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog must open with an entry for pikora ${PROJECT_VERSION}")
endif()
foreach(line IN LISTS PIKORA_CHANGELOG)
  if(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9]+) ")
    set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND month_names ${CMAKE_MATCH_2} m)
    math(EXPR m "${m} + 101")
    string(SUBSTRING ${m} 1 2 m)
    set(PIKORA_RELEASE_DATE "${CMAKE_MATCH_3}-${m}-${CMAKE_MATCH_1}")
    break()
  endif()
endforeach()

# The copyright file: ours, then the font's stanza and licences from its own
# file (the font's Debian packaging stanza is not ours to carry).
file(READ ${CMAKE_SOURCE_DIR}/assets/FONT-LICENSE.txt font)
string(FIND "${font}" "\nCopyright:" a)
string(FIND "${font}" "\n\nFiles: debian/" b)
string(FIND "${font}" "\n\nLicense: BSD-3-Clause" c)
string(FIND "${font}" "\n\nLicense: GPL-2+" d)
if(a LESS 0 OR b LESS a OR c LESS b OR d LESS c)
  message(FATAL_ERROR "assets/FONT-LICENSE.txt is not laid out as expected")
endif()
math(EXPR a "${a} + 1")
math(EXPR b "${b} - ${a}")
math(EXPR c "${c} + 2")
math(EXPR d "${d} - ${c}")
string(SUBSTRING "${font}" ${a} ${b} PIKORA_FONT_COPYRIGHT)
string(SUBSTRING "${font}" ${c} ${d} PIKORA_FONT_LICENSES)
set(PK ${CMAKE_BINARY_DIR}/packaging)
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${PK}/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/pikora.metainfo.xml.in ${PK}/${PIKORA_APP_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/pikora.6 ${PK}/pikora.6 @ONLY)

# Icons drawn from the logo at the sizes desktops ask for; the manual page and
# the changelog compressed as Debian wants them (no name, no time stamp).
set(PIKORA_ICON_SIZES 48 64 128)
add_executable(pikora_icon tools/make_icon.cpp)
target_link_libraries(pikora_icon PRIVATE PkgConfig::DRAWING)
set(outputs ${PK}/pikora.6.gz ${PK}/changelog.gz)
foreach(s IN LISTS PIKORA_ICON_SIZES)
  list(APPEND outputs ${PK}/icons/${s}x${s}/pikora.png)
endforeach()
add_custom_command(OUTPUT ${outputs}
  COMMAND pikora_icon ${CMAKE_SOURCE_DIR}/assets/logo.svg ${PK}/icons ${PIKORA_ICON_SIZES}
  COMMAND sh -c "gzip -9n < pikora.6 > pikora.6.gz"
  COMMAND sh -c "gzip -9n < '${CMAKE_SOURCE_DIR}/packaging/changelog' > changelog.gz"
  DEPENDS pikora_icon ${CMAKE_SOURCE_DIR}/assets/logo.svg ${PK}/pikora.6 ${CMAKE_SOURCE_DIR}/packaging/changelog
  WORKING_DIRECTORY ${PK} VERBATIM)
add_custom_target(pikora_packaging_files ALL DEPENDS ${outputs})

install(TARGETS pikora RUNTIME DESTINATION ${PIKORA_GAME_DIR})
install(DIRECTORY ${PIKORA_AUDIO_DIR}/bg ${PIKORA_AUDIO_DIR}/se DESTINATION ${PIKORA_GAME_DIR})
file(RELATIVE_PATH link_target /x/${PIKORA_LAUNCHER_DIR} /x/${PIKORA_GAME_DIR}/pikora)
install(CODE "
  set(d \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${PIKORA_LAUNCHER_DIR}\")
  file(MAKE_DIRECTORY \"\${d}\")
  message(STATUS \"Installing: \${d}/pikora -> ${link_target}\")
  file(CREATE_LINK ${link_target} \"\${d}/pikora\" SYMBOLIC)")
install(FILES packaging/pikora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${PIKORA_APP_ID}.desktop)
install(FILES ${PK}/${PIKORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(s IN LISTS PIKORA_ICON_SIZES)
  install(FILES ${PK}/icons/${s}x${s}/pikora.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${s}x${s}/apps)
endforeach()
install(FILES assets/logo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME pikora.svg)
install(FILES ${PK}/pikora.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PK}/copyright ${PK}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pikora)

include(cmake/Package.cmake)
