# The pictures carried inside the program, as embed-name / source pairs. The
# sources are read as they are at start-up: nothing to build beforehand.
set(PIKORA_ASSETS
  chips ${CMAKE_SOURCE_DIR}/assets/chips.txt
  face0 ${CMAKE_SOURCE_DIR}/assets/face0_shopin.svg
  face1 ${CMAKE_SOURCE_DIR}/assets/face1_misa.svg
  face2 ${CMAKE_SOURCE_DIR}/assets/face2_kushuri.svg
  face3 ${CMAKE_SOURCE_DIR}/assets/face3_pau.svg
  face5 ${CMAKE_SOURCE_DIR}/assets/face5_owner.svg
  logo ${CMAKE_SOURCE_DIR}/assets/logo.svg
  endp0 ${CMAKE_SOURCE_DIR}/assets/endp0_staff.svg
  endp1 ${CMAKE_SOURCE_DIR}/assets/endp1_farewell.svg)

# Lays every picture out on one PNG for looking the artwork over:
#   pikora_contact_sheet [out.png]
add_executable(pikora_contact_sheet ${CMAKE_SOURCE_DIR}/tools/contact_sheet.cpp)
target_link_libraries(pikora_contact_sheet PRIVATE pikora_kit pikora_kit_deps)
