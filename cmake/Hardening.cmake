# The hardening a distribution expects of a delivered program: fortified C library calls,
# stack protection, and relocations made read-only at start (bindnow). On by default; a
# development build may turn it off to share its compiler cache with others.
option(ZARVEX_HARDEN "Build with _FORTIFY_SOURCE, stack protector, RELRO and BIND_NOW" ON)
if(ZARVEX_HARDEN AND NOT ZARVEX_SANITIZE AND NOT ZARVEX_FUZZ)
    # _FORTIFY_SOURCE needs the optimiser; a Debug build goes without it.
    add_compile_options(-fstack-protector-strong
                        $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
                        $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
