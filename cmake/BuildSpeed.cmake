# Build-time helpers for targets with many sources that share heavy headers.
#
# Unity groups: the command-line parser and JSON are header-only, and every
# kovalink command instantiates and optimises their inline code again; a
# batch of sources compiled as one unit does that once per batch. Sources in
# a batch share one translation unit, so names at file scope (anonymous
# namespaces included) must be unique across the target.
#
# Precompiled headers: GoogleTest and Qt are parsed once per target instead of
# once per source. ccache caches such builds only with
#   CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
# which scripts/build.sh and scripts/test.sh set.
#
# KOVALINK_FAST_BUILD=OFF turns both off, e.g. to check that every source
# compiles on its own and includes what it uses.
option(KOVALINK_FAST_BUILD "Unity groups and precompiled headers for the large targets" ON)

# kovalink_unity_group(<target> <group> <source>...): the sources are compiled
# as one unit; the rest of the target's sources compile one by one.
function(kovalink_unity_group target group)
  if(KOVALINK_FAST_BUILD)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
    set_source_files_properties(${ARGN} TARGET_DIRECTORY ${target} PROPERTIES UNITY_GROUP ${group})
  endif()
endfunction()

# kovalink_precompile(<target> <header>...): the headers, precompiled for the
# target's own sources only.
function(kovalink_precompile target)
  if(KOVALINK_FAST_BUILD)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# kovalink_precompile_reuse(<target> <from>): the target uses <from>'s
# precompiled headers; both must compile with the same flags and macros.
function(kovalink_precompile_reuse target from)
  if(KOVALINK_FAST_BUILD)
    target_precompile_headers(${target} REUSE_FROM ${from})
  endif()
endfunction()
