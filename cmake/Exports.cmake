# Export lists live in one text file per library ("<ordinal> <name>" per line,
# '#' comments). From it we generate the linker version script, so that the
# shared object exports exactly the listed names and nothing else.
function(kovalink_read_exports list_file out_names)
  file(STRINGS ${list_file} lines)
  set(names)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    string(REGEX REPLACE "^[0-9]+[ \t]+" "" name "${line}")
    list(APPEND names ${name})
  endforeach()
  set(${out_names} ${names} PARENT_SCOPE)
endfunction()

#
# kovalink_export_only(<target> <list> [SAME_ENTRY <name>=<other>...] [DATA <name>...]):
# SAME_ENTRY names an export that is a second name of another one (on ELF
# the source defines it as an alias; on Windows the .def says so), DATA an
# exported variable.
function(kovalink_export_only target list_file)
  if(WIN32)
    kovalink_export_def(${target} ${list_file} ${ARGN})
    return()
  endif()
  kovalink_read_exports(${list_file} names)
  set(script "{\n  global:\n")
  foreach(name IN LISTS names)
    if(name MATCHES "::")
      # C++ names are matched demangled.
      string(APPEND script "    extern \"C++\" { ${name}; };\n")
    else()
      string(APPEND script "    ${name};\n")
    endif()
  endforeach()
  string(APPEND script "  local: *;\n};\n")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${out}.tmp "${script}")
  configure_file(${out}.tmp ${out} COPYONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
  target_link_options(${target} PRIVATE "LINKER:--version-script=${out}")
  # Every symbol must resolve at link time, except where clang's sanitizer
  # runtimes are in play: clang links them into executables only, so a shared
  # object's references to them resolve when a program loads it.
  set(clang_runtime_in_program OFF)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (KOVALINK_FUZZ OR KOVALINK_SANITIZE OR KOVALINK_TSAN))
    set(clang_runtime_in_program ON)
  endif()
  if(NOT clang_runtime_in_program)
    target_link_options(${target} PRIVATE "LINKER:--no-undefined")
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${out})
endfunction()

# Windows: a module-definition file with the same names and their ordinals.
# Nothing carries __declspec(dllexport), so the .def alone decides the
# table; with --enable-stdcall-fixup the undecorated names of the .def bind
# to the stdcall symbols (Name@8) on 32-bit x86, which is how they are
# exported without decoration. A SAME_ENTRY name becomes "name=other" in the
# .def: one entry point under two names. The C++ class line ("Class::*")
# exports its constructors and copy assignment under the compiler's names.
function(kovalink_export_def target list_file)
  cmake_parse_arguments(DEF "" "" "SAME_ENTRY;DATA" ${ARGN})
  set(same_names)
  set(same_targets)
  foreach(pair IN LISTS DEF_SAME_ENTRY)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 alias)
    list(GET pair 1 original)
    list(APPEND same_names ${alias})
    list(APPEND same_targets ${original})
  endforeach()
  get_target_property(output ${target} OUTPUT_NAME)
  if(NOT output)
    set(output ${target})
  endif()
  file(STRINGS ${list_file} lines)
  set(def "LIBRARY ${output}.dll\nEXPORTS\n")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([0-9]+)[ \t]+([A-Za-z0-9_:*]+)$")
      message(FATAL_ERROR "${list_file}: cannot read \"${line}\"")
    endif()
    set(ordinal ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    list(FIND same_names ${name} same)
    if(name MATCHES "^([A-Za-z0-9_]+)::\\*$")
      set(class ${CMAKE_MATCH_1})
      string(LENGTH ${class} length)
      # Default constructor (complete and base object) and copy assignment.
      string(APPEND def "  _ZN${length}${class}C1Ev @${ordinal}\n  _ZN${length}${class}C2Ev\n"
                        "  _ZN${length}${class}aSERKS_\n")
    elseif(name IN_LIST DEF_DATA)
      string(APPEND def "  ${name} @${ordinal} DATA\n")
    elseif(same GREATER -1)
      list(GET same_targets ${same} original)
      string(APPEND def "  ${name}=${original} @${ordinal}\n")
    else()
      string(APPEND def "  ${name} @${ordinal}\n")
    endif()
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  file(WRITE ${out}.tmp "${def}")
  configure_file(${out}.tmp ${out} COPYONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
  target_sources(${target} PRIVATE ${out})
  target_link_options(${target} PRIVATE "LINKER:--enable-stdcall-fixup" "LINKER:--no-undefined")
  # No "lib" prefix: the files are TavoHID.dll and KovalinkHID.dll.
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "")
endfunction()
