# Every target gets the same floating-point rules: no contraction into fused multiply-adds and
# no fast-math, so Debug and Release builds produce the same bits.
add_compile_options(-Wall -Wextra -Wpedantic -ffp-contract=off -fno-fast-math)
if(CONING_WERROR)
    add_compile_options(-Werror)
endif()
