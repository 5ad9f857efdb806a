# Carries files inside the program: each file becomes an assembler .incbin
# (fast to build whatever its size), and one generated table finds them by name.
#   pikora_embed(TARGET name1 /path/file1 name2 /path/file2 ...)
function(pikora_embed target)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/embed)
  file(MAKE_DIRECTORY ${dir})
  set(decls "")
  set(rows "")
  set(args ${ARGN})
  list(LENGTH args n)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET args ${i} name)
    list(GET args ${j} path)
    # Files made during the build (the catalogues) are not there yet.
    if(NOT EXISTS ${path} AND NOT path MATCHES "^${CMAKE_BINARY_DIR}/")
      message(FATAL_ERROR "embedded file missing: ${path}")
    endif()
    string(MAKE_C_IDENTIFIER "emb_${name}" sym)
    set(asm ${dir}/${sym}.S)
    if(EMSCRIPTEN)
      # WebAssembly objects want a section per datum and the size of each symbol.
      file(WRITE ${asm}.in
        "  .section .rodata.${sym},\"\",@\n  .globl ${sym}_begin\n${sym}_begin:\n"
        "  .incbin \"${path}\"\n  .globl ${sym}_end\n${sym}_end:\n  .byte 0\n"
        "  .size ${sym}_begin, ${sym}_end - ${sym}_begin\n  .size ${sym}_end, 1\n")
    elseif(WIN32)
      # Windows objects (COFF) keep read-only data in .rdata and know no ELF notes.
      file(WRITE ${asm}.in
        "  .section .rdata,\"dr\"\n  .balign 16\n  .global ${sym}_begin\n${sym}_begin:\n"
        "  .incbin \"${path}\"\n  .global ${sym}_end\n${sym}_end:\n  .byte 0\n")
    else()
      file(WRITE ${asm}.in
        "  .section .rodata\n  .balign 16\n  .global ${sym}_begin\n${sym}_begin:\n"
        "  .incbin \"${path}\"\n  .global ${sym}_end\n${sym}_end:\n  .byte 0\n"
        "  .section .note.GNU-stack,\"\",@progbits\n")
    endif()
    # Written only when it changes: a new configure rebuilds nothing.
    configure_file(${asm}.in ${asm} COPYONLY)
    set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${path} LANGUAGE ASM)
    target_sources(${target} PRIVATE ${asm})
    string(APPEND decls "extern \"C\" const unsigned char ${sym}_begin[], ${sym}_end[];\n")
    string(APPEND rows "  {\"${name}\", ${sym}_begin, ${sym}_end},\n")
  endforeach()
  set(index ${dir}/embedded_index.cpp)
  file(WRITE ${index}.in
    "// Generated: the files carried inside the program.\n#include \"platform/Embedded.h\"\n#include <cstring>\n${decls}"
    "namespace plat {\nnamespace {\nstruct Row { const char* name; const unsigned char* b; const unsigned char* e; };\n"
    "const Row kRows[] = {\n${rows}};\n}  // namespace\n"
    "std::span<const uint8_t> Embedded(const std::string& name) {\n"
    "  for (const Row& r : kRows)\n    if (name == r.name) return {r.b, size_t(r.e - r.b)};\n"
    "  return {};\n}\n}  // namespace plat\n")
  configure_file(${index}.in ${index} COPYONLY)
  target_sources(${target} PRIVATE ${index})
endfunction()
