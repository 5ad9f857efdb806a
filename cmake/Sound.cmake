# The music and effects are generated at build time into bg/ and se/ beside
# the program, and installed beside it.
file(GLOB PIKORA_GEN_AUDIO_SRC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_audio.cpp
     ${CMAKE_SOURCE_DIR}/tools/audio*.cpp)
add_executable(gen_audio ${PIKORA_GEN_AUDIO_SRC})
target_include_directories(gen_audio PRIVATE ${CMAKE_SOURCE_DIR})

set(PIKORA_AUDIO_DIR ${CMAKE_BINARY_DIR})
set(PIKORA_AUDIO_FILES ${PIKORA_AUDIO_DIR}/bg/bg1.mid)
foreach(n 1 2 3 4 5 6 8 9 10)
  list(APPEND PIKORA_AUDIO_FILES ${PIKORA_AUDIO_DIR}/se/se${n})
endforeach()
add_custom_command(
  OUTPUT ${PIKORA_AUDIO_FILES}
  COMMAND gen_audio ${PIKORA_AUDIO_DIR}
  DEPENDS gen_audio
  COMMENT "Generating the music and sound effects"
  VERBATIM)
add_custom_target(pikora_audio DEPENDS ${PIKORA_AUDIO_FILES})
add_dependencies(pikora pikora_audio)

# The sound tests and the benchmarks read the generated files: tell them where, once their
# targets exist (they are defined after this file is included).
function(pikora_sound_tests)
  foreach(t pikora_tests pikora_tests_san pikora_bench)
    if(TARGET ${t})
      add_dependencies(${t} pikora_audio)
      target_compile_definitions(${t} PRIVATE PIKORA_AUDIO_DIR="${PIKORA_AUDIO_DIR}/")
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL pikora_sound_tests)
