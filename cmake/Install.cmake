# `cmake --install` puts the game with its music and effects in one folder,
# a launcher on the PATH, a desktop entry and an icon made from our logo.
include(GNUInstallDirs)
install(TARGETS pikora RUNTIME DESTINATION lib/pikora)
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK ../lib/pikora/pikora
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pikora\" SYMBOLIC)")

add_executable(pikora_icon tools/make_icon.cpp)
target_link_libraries(pikora_icon PRIVATE pikora_platform)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/pikora.png
  COMMAND SDL_VIDEODRIVER=dummy $<TARGET_FILE:pikora_icon> ${CMAKE_BINARY_DIR}/pikora.png
  DEPENDS pikora_icon VERBATIM)
add_custom_target(pikora_icon_png ALL DEPENDS ${CMAKE_BINARY_DIR}/pikora.png)
install(FILES ${CMAKE_BINARY_DIR}/pikora.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
install(FILES ${CMAKE_SOURCE_DIR}/assets/pikora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
