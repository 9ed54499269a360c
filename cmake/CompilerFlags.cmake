# Every target gets the same floating-point rules: no contraction into fused multiply-adds and
# no fast-math, so Debug and Release builds produce the same bits.
add_compile_options(-Wall -Wextra -Wpedantic -ffp-contract=off -fno-fast-math)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 at -O3 reports impossible overlaps inside std::string concatenation (a known false
    # positive of -Wrestrict in its own headers).
    add_compile_options(-Wno-restrict)
endif()
if(CONING_WERROR)
    add_compile_options(-Werror)
endif()
