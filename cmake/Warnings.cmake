# Our own targets build with a strict warning set, as errors.
# g++ 12 reports -Wrestrict and -Wstringop-overflow inside libstdc++'s own std::string code at
# -O2 (GCC bug 105329 and kin), never in our code: those two are off. clang knows neither.
function(zarvex_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Woverloaded-virtual -Werror)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wno-restrict -Wno-stringop-overflow)
    endif()
endfunction()
