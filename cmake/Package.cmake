# `cpack -G DEB` in a build folder makes zarvex_<version>_<arch>.deb from what `cmake --install`
# installs. The dependencies are written out rather than computed by dpkg-shlibdeps, so that
# the package builds where only dpkg-deb is present.
set(CPACK_PACKAGE_NAME zarvex)
set(CPACK_PACKAGE_VENDOR "Zarvex")
set(CPACK_PACKAGE_CONTACT "Zarvex <dev@zarvex.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "analytics of options on currency futures")
# The extended description, under the summary as its synopsis: one string with its own line
# breaks (a CMake list of strings would be joined with ";").
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zarvex downloads the exchange's daily settlement report of its currency\n"
    "options, keeps six currencies in SQLite databases and shows what a trader\n"
    "reads before the next session: CALL and PUT levels, PUT/CALL ratios,\n"
    "significant levels and fractals, market borders and open-interest\n"
    "histograms. zarvex-cli does the same work without a window. The report\n"
    "generator and a stand-in report server make demo data.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zarvex.invalid/")
# The runtime libraries of Debian 12 that the programs link: Qt 6 Widgets (with Gui and Core),
# SQLite, libcurl, PCRE2, libpng, QuantLib and libmicrohttpd (the local API of `serve`).
set(zarvex_deb_depends
    "libc6 (>= 2.34)"
    "libstdc++6 (>= 12)"
    "libsqlite3-0 (>= 3.40)"
    "libcurl4 (>= 7.88)"
    "libpcre2-8-0 (>= 10.42)"
    "libpng16-16 (>= 1.6.39)"
    "libquantlib0v5 (>= 1.29)"
    "libmicrohttpd12 (>= 0.9.75)"
    "zlib1g")
if(ZARVEX_BUILD_GUI)
    # The platform plugin for X11 and Wayland comes with qt6-qpa-plugins.
    list(APPEND zarvex_deb_depends "libqt6widgets6 (>= 6.4)" "libqt6gui6 (>= 6.4)"
         "libqt6core6 (>= 6.4)" "libqt6dbus6 (>= 6.4)" "qt6-qpa-plugins" "fonts-dejavu-core")
endif()
list(JOIN zarvex_deb_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

# What Debian asks of every package: its changelog (compressed, without a time stamp; a package
# of the program's own version, with no Debian revision, is native: changelog.gz) and its
# copyright file, in the documentation folder.
set(zarvex_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(
    OUTPUT ${zarvex_changelog}
    COMMAND ${ZARVEX_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${zarvex_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    COMMENT "Compressing the changelog")
add_custom_target(zarvex_changelog ALL DEPENDS ${zarvex_changelog})
install(FILES ${zarvex_changelog} ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${ZARVEX_DOCDIR})
include(CPack)
