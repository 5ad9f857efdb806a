# The game's libraries for one side of the SDL backend, one library a role,
# from the bottom up:
#   pikora_seam      the interface the game sees, the carried files, and the
#                    system's file reading (platform/, platform/SYSTEM/)
#   pikora_kit       what the backends share: text, pictures, the pause and its overlay
#   pikora_game      every procedure of the game window
#   pikora_sdl       the SDL2 backend with this side (platform/sdl/, platform/SIDE/)
#   pikora_blind     the blind twin: a game with nothing drawn or heard
#   pikora_headless  the headless twin and its tracer, for tests, benchmarks and tools
#   pikora_replay    replay files, their recorder and player, checking on the blind twin
#   pikora_app       the shell: options, settings (app/ and app/SIDE/), replays, pictures
#   pikora_lab       the strategy lab's policies and statistics
# SDL is known to the kit and the backend only (through the interface targets
# pikora_kit_deps and pikora_side_deps, which the caller makes for its side):
# the game, the twins' users, replays and the lab build without it in reach.
# A program's main.cpp belongs to its program, never to a library.
#
#   pikora_libraries(SIDE desktop|web|windows SYSTEM posix|... [SUFFIX s] [TWINS] [OPTIONS flags...])
# TWINS adds the headless twin and the lab; OPTIONS go to every library's
# compiling and linking.
function(pikora_libraries)
  cmake_parse_arguments(arg "TWINS" "SIDE;SYSTEM;SUFFIX" "OPTIONS" ${ARGN})
  set(root ${PROJECT_SOURCE_DIR})
  set(s "${arg_SUFFIX}")
  macro(sources var)
    set(globs "")
    foreach(d ${ARGN})
      list(APPEND globs ${root}/${d}/*.cpp)
    endforeach()
    file(GLOB ${var} CONFIGURE_DEPENDS ${globs})
    list(FILTER ${var} EXCLUDE REGEX "/main\\.cpp$")
  endmacro()
  sources(seam platform platform/${arg_SYSTEM})
  sources(kit platform/kit)
  sources(game core screen staff creatures sound scenes)
  sources(sdl platform/sdl platform/${arg_SIDE})
  sources(blind platform/blind)
  sources(replay replay)
  sources(app app app/${arg_SIDE})
  set(roles seam kit game sdl blind replay app)

  add_library(pikora_seam${s} STATIC ${seam})
  target_include_directories(pikora_seam${s} PUBLIC ${root})
  pikora_embed(pikora_seam${s} font ${PIKORA_FONT} ${PIKORA_ASSETS} ${PIKORA_CATALOGUES})
  target_compile_definitions(pikora_seam${s} PRIVATE PIKORA_LANGUAGE_CODES="${PIKORA_LANGUAGE_CODES}")
  add_library(pikora_kit${s} STATIC ${kit})
  target_link_libraries(pikora_kit${s} PUBLIC pikora_seam${s} PRIVATE pikora_kit_deps)
  add_library(pikora_game${s} STATIC ${game})
  target_link_libraries(pikora_game${s} PUBLIC pikora_seam${s})
  add_library(pikora_sdl${s} STATIC ${sdl})
  target_link_libraries(pikora_sdl${s} PUBLIC pikora_seam${s} PRIVATE pikora_kit${s} pikora_kit_deps pikora_side_deps)
  add_library(pikora_blind${s} STATIC ${blind})
  target_link_libraries(pikora_blind${s} PUBLIC pikora_seam${s})
  add_library(pikora_replay${s} STATIC ${replay})
  target_link_libraries(pikora_replay${s} PUBLIC pikora_game${s} pikora_blind${s})
  add_library(pikora_app${s} STATIC ${app})
  target_link_libraries(pikora_app${s} PUBLIC pikora_sdl${s} pikora_replay${s} PRIVATE pikora_kit${s})
  if(arg_TWINS)
    sources(headless platform/headless)
    sources(lab lab)
    add_library(pikora_headless${s} STATIC ${headless})
    target_link_libraries(pikora_headless${s} PUBLIC pikora_seam${s} PRIVATE pikora_kit${s})
    add_library(pikora_lab${s} STATIC ${lab})
    target_link_libraries(pikora_lab${s} PUBLIC pikora_replay${s} Threads::Threads)
    list(APPEND roles headless lab)
  endif()
  if(arg_OPTIONS)
    foreach(role ${roles})
      target_compile_options(pikora_${role}${s} PUBLIC ${arg_OPTIONS})
      target_link_options(pikora_${role}${s} PUBLIC ${arg_OPTIONS})
    endforeach()
  endif()
endfunction()
