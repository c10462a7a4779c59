# Warnings and the floating-point rules every target of the project follows,
# as the interface library demo_options; the desktop build (CMakeLists.txt)
# and the web build (web/CMakeLists.txt) both include this file.
#
# The pictures depend on exact IEEE arithmetic: no contraction into fused
# multiply-adds and no fast-math.
get_filename_component(DEMO_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

option(DEMO_WERROR "Treat compiler warnings as errors (the project's scripts and CI turn it on)" OFF)

add_library(demo_options INTERFACE)
target_compile_options(demo_options INTERFACE -Wall -Wextra -ffp-contract=off)
if(DEMO_WERROR)
    target_compile_options(demo_options INTERFACE -Werror)
endif()
# NOTE: GCC 12's straight-line vectorizer turns a pair of double -> float ->
# double conversions into nothing, so values meant to be held as floats keep
# their double bits (seen at -O2 and -O3 with two such values side by side).
target_compile_options(demo_options INTERFACE $<$<CXX_COMPILER_ID:GNU>:-fno-tree-slp-vectorize>)
target_include_directories(demo_options INTERFACE ${DEMO_ROOT})
