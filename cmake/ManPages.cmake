# Manual pages are installed compressed (gzip -9n: no name or time stamp in the header, so the
# package is the same whenever it is built), as Debian's policy asks.
find_program(ZARVEX_GZIP gzip REQUIRED)

# zarvex_install_man_page(PAGE [DEPENDS target...]): PAGE is a roff file, in the sources or
# written by the build; PAGE.gz goes to man1.
function(zarvex_install_man_page page)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    get_filename_component(name ${page} NAME)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(
        OUTPUT ${compressed}
        COMMAND ${ZARVEX_GZIP} -9n -c ${page} > ${compressed}
        DEPENDS ${page} ${ARG_DEPENDS}
        COMMENT "Compressing the manual page ${name}")
    string(REPLACE "." "_" target_name "zarvex_man_${name}")
    add_custom_target(${target_name} ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
