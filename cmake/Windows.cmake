# The game for Windows, cross-compiled with MinGW-w64 (cmake/mingw-w64.cmake):
# the same libraries as the desktop's, with the system's files through the
# wide-character API (platform/win32/), the SDL backend's Windows side
# (platform/windows/: the tune made into samples at build time, as for the
# page) and the shell's (app/windows/: the user's known folders).
# scripts/windows.sh gives the libraries it built from Debian's sources and
# the icon.
enable_language(RC)
set(PIKORA_WIN_LIBS "" CACHE PATH "Windows libraries: include/ and lib/")
set(PIKORA_FONT "" CACHE FILEPATH "The font carried inside the program")
set(PIKORA_WIN_ICON "" CACHE FILEPATH "The program's icon (.ico)")
foreach(v PIKORA_WIN_LIBS PIKORA_FONT PIKORA_WIN_ICON)
  if(NOT EXISTS "${${v}}")
    message(FATAL_ERROR "${v} names nothing (\"${${v}}\"): build the Windows program with scripts/windows.sh")
  endif()
endforeach()

# localtime_r, as on the desktop; the program's entry is the Windows side's
# own (platform/windows/main.cpp), not SDL's.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS=200112L SDL_MAIN_HANDLED
                        _WIN32_WINNT=0x0601)  # Windows 7 and later: its display-language API
add_library(pikora_win_libs INTERFACE)
target_include_directories(pikora_win_libs INTERFACE ${PIKORA_WIN_LIBS}/include/SDL2 ${PIKORA_WIN_LIBS}/include)
set(lib ${PIKORA_WIN_LIBS}/lib)
target_link_libraries(pikora_win_libs INTERFACE ${lib}/libSDL2_ttf.a ${lib}/libharfbuzz.a ${lib}/libfreetype.a
                      ${lib}/libSDL2_image.a ${lib}/libSDL2_mixer.a ${lib}/libimagequant.a ${lib}/libSDL2.a
                      m user32 gdi32 winmm imm32 ole32 oleaut32 version uuid advapi32 setupapi shell32 dinput8)

include(cmake/Embed.cmake)
include(cmake/Assets.cmake)
include(cmake/Catalogues.cmake)
add_library(pikora_kit_deps INTERFACE)
# OpenMP only to keep libimagequant on one thread, as on the desktop.
target_compile_options(pikora_kit_deps INTERFACE -fopenmp)
target_link_libraries(pikora_kit_deps INTERFACE pikora_win_libs -fopenmp)
add_library(pikora_side_deps INTERFACE)
target_link_libraries(pikora_side_deps INTERFACE pikora_win_libs)
include(cmake/Libraries.cmake)
pikora_libraries(SIDE windows SYSTEM win32)

# The icon, the version information and the manifest, for Explorer and the taskbar.
configure_file(packaging/windows/pikora.rc.in ${CMAKE_BINARY_DIR}/pikora.rc @ONLY)
# A windowed program: no console opens with it.
add_executable(pikora WIN32 app/main.cpp platform/windows/main.cpp ${CMAKE_BINARY_DIR}/pikora.rc)
# The game's main, called by the Windows side's WinMain.
set_source_files_properties(app/main.cpp PROPERTIES COMPILE_DEFINITIONS main=pikora_main SKIP_UNITY_BUILD_INCLUSION ON)
target_link_libraries(pikora PRIVATE pikora_app pikora_game pikora_sdl pikora_side_deps)
# Nothing beside it but Windows' own DLLs.
target_link_options(pikora PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(pikora PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
