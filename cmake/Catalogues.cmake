# The translation catalogues: each po/LANG.po is checked and compiled by
# msgfmt --check at build time (an error fails the build) and carried inside
# the program like the font, so it works with no locale installed.
#   PIKORA_CATALOGUES  name/path pairs for pikora_embed
#   PIKORA_LANGUAGE_CODES  the codes of the catalogues, for the program to list
find_program(PIKORA_MSGFMT msgfmt)
if(NOT PIKORA_MSGFMT)
  message(FATAL_ERROR "msgfmt is missing: install gettext (scripts/deps.sh does).")
endif()
file(GLOB pikora_po CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/*.po)
set(PIKORA_CATALOGUES "")
set(PIKORA_LANGUAGE_CODES "")
foreach(po ${pikora_po})
  get_filename_component(lang ${po} NAME_WE)
  set(mo ${CMAKE_BINARY_DIR}/po/${lang}.mo)
  add_custom_command(OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/po
    COMMAND ${PIKORA_MSGFMT} --check -o ${mo} ${po}
    DEPENDS ${po}
    COMMENT "Checking and compiling the catalogue po/${lang}.po")
  list(APPEND PIKORA_CATALOGUES catalogue/${lang} ${mo})
  string(APPEND PIKORA_LANGUAGE_CODES " ${lang}")
endforeach()
string(STRIP "${PIKORA_LANGUAGE_CODES}" PIKORA_LANGUAGE_CODES)

# The template with every text standing for itself, for the tests that hold
# what the game shows to the template.
find_program(PIKORA_MSGEN msgen)
set(PIKORA_TEMPLATE_MO ${CMAKE_BINARY_DIR}/po/template.mo)
add_custom_command(OUTPUT ${PIKORA_TEMPLATE_MO}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/po
  COMMAND ${PIKORA_MSGEN} -o ${CMAKE_BINARY_DIR}/po/template.po ${CMAKE_SOURCE_DIR}/po/pikora.pot
  COMMAND ${PIKORA_MSGFMT} --check-format -o ${PIKORA_TEMPLATE_MO} ${CMAKE_BINARY_DIR}/po/template.po
  DEPENDS ${CMAKE_SOURCE_DIR}/po/pikora.pot
  COMMENT "Checking the catalogue template")
add_custom_target(pikora_template ALL DEPENDS ${PIKORA_TEMPLATE_MO})
