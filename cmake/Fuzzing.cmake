# libFuzzer needs clang. Every library is built with the coverage instrumentation but without
# libFuzzer's main; only the fuzz targets under tests/fuzz link it.
if(ZARVEX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(WARNING "ZARVEX_FUZZ needs clang (CXX=clang++); the fuzz targets are not built")
        set(ZARVEX_FUZZ OFF CACHE BOOL "" FORCE)
    else()
        add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                            -fno-sanitize-recover=undefined)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()
