# Our own targets build with a strict warning set, as errors.
# g++ 12 reports -Wrestrict and -Wstringop-overflow inside libstdc++'s own std::string code at
# -O2 (GCC bug 105329 and kin): those two stay warnings, never errors.
function(zarvex_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Woverloaded-virtual -Werror
        -Wno-error=restrict -Wno-error=stringop-overflow)
endfunction()
