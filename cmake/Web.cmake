# The game for the web page, under emcmake: the same libraries as the
# desktop's, with the SDL backend's web side (platform/web/ in place of the
# desktop's X11, threads and FluidSynth) and the shell's (app/web/: the
# settings in the browser's storage).
# scripts/web.sh gives the libraries it built from Debian's sources, the font
# cut down to the game's glyphs and the folder of the program's files.
set(PIKORA_WEB_LIBS "" CACHE PATH "WebAssembly libraries: include/ and lib/")
set(PIKORA_WEB_DATA "" CACHE PATH "The program's files (bg/, se/), carried in pikora.data")
set(PIKORA_FONT "" CACHE FILEPATH "The font carried inside the program")
set(PIKORA_WEB_PICTURES "" CACHE PATH "The pictures drawn beforehand (NAME.bmp), carried in place of their sources")
foreach(v PIKORA_WEB_LIBS PIKORA_WEB_DATA PIKORA_FONT PIKORA_WEB_PICTURES)
  if(NOT EXISTS "${${v}}")
    message(FATAL_ERROR "${v} names nothing (\"${${v}}\"): build the page with scripts/web.sh")
  endif()
endforeach()

# emcc's JavaScript optimiser needs acorn, which Debian keeps where a node
# not of Debian's does not look.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
# Exceptions are the game's way out of a broken record or picture. Small over
# fast: the page is downloaded, and the game draws little.
add_compile_options(-fexceptions -Oz)
add_library(pikora_web_libs INTERFACE)
target_include_directories(pikora_web_libs INTERFACE ${PIKORA_WEB_LIBS}/include/SDL2 ${PIKORA_WEB_LIBS}/include)
# By path: emcc takes -lSDL2 and the like for its own ports, which it would download.
set(lib ${PIKORA_WEB_LIBS}/lib)
target_link_libraries(pikora_web_libs INTERFACE ${lib}/libSDL2_ttf.a ${lib}/libharfbuzz.a ${lib}/libfreetype.a ${lib}/libSDL2_image.a
                      ${lib}/libSDL2_mixer.a ${lib}/libimagequant.a ${lib}/libSDL2.a)

include(cmake/Embed.cmake)
include(cmake/Assets.cmake)
# The pictures drawn beforehand, in place of their sources: drawing them in
# the page would hold its first picture back by seconds.
file(GLOB drawn ${PIKORA_WEB_PICTURES}/*.bmp)
set(PIKORA_ASSETS "")
foreach(f ${drawn})
  get_filename_component(name ${f} NAME_WE)
  list(APPEND PIKORA_ASSETS drawn/${name} ${f})
endforeach()
include(cmake/Catalogues.cmake)
add_library(pikora_kit_deps INTERFACE)
target_link_libraries(pikora_kit_deps INTERFACE pikora_web_libs)
add_library(pikora_side_deps INTERFACE)
target_link_libraries(pikora_side_deps INTERFACE pikora_web_libs)
include(cmake/Libraries.cmake)
pikora_libraries(SIDE web SYSTEM posix)

file(WRITE ${CMAKE_BINARY_DIR}/js-functions.json
     "[\"$autoResumeAudioContext\", \"$dynCall\", \"$stringToNewUTF8\"]\n")
# The libraries' own work never waits for the browser: only the game's waits
# need ASYNCIFY's bookkeeping, which otherwise swells every function that
# might reach one through a pointer (FreeType, HarfBuzz, the decoders are
# full of them).
file(WRITE ${CMAKE_BINARY_DIR}/asyncify-remove.json
     "[\"FT_*\", \"ft_*\", \"tt_*\", \"TT_*\", \"af_*\", \"sfnt_*\", \"gray_*\", \"Ins_*\", \"ps_*\", "
     "\"hb_*\", \"OT::*\", \"AAT::*\", \"CFF::*\", \"nsvg*\", \"liq_*\", \"pam_*\", \"stb_vorbis*\", "
     "\"vorbis_*\", \"mz_*\", \"tdefl_*\", \"TTF_*\", \"IMG_*\", \"Mix_*\", \"SDL_Blit*\", \"SDL_Convert*\", "
     "\"SDL_Soft*\", \"SDL_RLE*\", \"Blit*\", \"SDL_AudioStream*\"]\n")
add_executable(pikora app/main.cpp)
target_link_libraries(pikora PRIVATE pikora_app pikora_game pikora_sdl)
set_target_properties(pikora PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
                      LINK_DEPENDS "${PIKORA_WEB_DATA}/bg/bg1.ogg")
target_link_options(pikora PRIVATE
  -fexceptions
  # emcc runs binaryen's wasm-opt on the program at this level.
  -Oz
  # The game's waits sit deep in its procedures: they yield to the browser.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1
  # A factory the page calls for each game; main runs when the page says.
  -sMODULARIZE=1 -sEXPORT_NAME=Pikora -sENVIRONMENT=web -sEXIT_RUNTIME=1
  "-sEXPORTED_RUNTIME_METHODS=callMain,ccall,FS"
  # The smaller allocator: the game allocates little, and rarely.
  -sMALLOC=emmalloc
  # What SDL's audio and the shell's storage call from JavaScript (from a
  # file: the build tools would take their $ for their own).
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/js-functions.json
  -sASYNCIFY_REMOVE=@${CMAKE_BINARY_DIR}/asyncify-remove.json
  --preload-file ${PIKORA_WEB_DATA}@/)
