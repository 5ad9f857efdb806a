# The Debian package, made by CPack from the install rules (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pikora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PIKORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends comes from the program's shared libraries, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timgm6mb-soundfont | fluid-soundfont-gm")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[management game of a little creature-breeding company
The owner of a small company that breeds little creatures, the Pikora, has
gone on a long vacation, and you run the company. Four employees come one at
a time with a request: buy eggs, buy feed, train the grown creatures, rest,
warm the eggs or sell. Permit or refuse each one and keep the funds up until
the owner comes back.

The game is in Japanese and is played with the arrow keys or a game
controller. Its music plays through a General MIDI SoundFont.]=])
include(CPack)
