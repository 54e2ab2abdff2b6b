# Our own targets build with a strict warning set, as errors.
function(zarvex_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Woverloaded-virtual -Werror)
endfunction()
