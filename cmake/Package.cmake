# `cpack -G DEB` in a build folder makes zarvex_<version>_<arch>.deb from what `cmake --install`
# installs. The dependencies are written out rather than computed by dpkg-shlibdeps, so that
# the package builds where only dpkg-deb is present.
set(CPACK_PACKAGE_NAME zarvex)
set(CPACK_PACKAGE_VENDOR "Zarvex")
set(CPACK_PACKAGE_CONTACT "Zarvex <dev@zarvex.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Analytics of options on currency futures")
set(CPACK_PACKAGE_DESCRIPTION
    "Zarvex downloads the exchange's daily settlement report of its currency options, keeps "
    "six currencies in SQLite databases and shows what a trader reads before the next "
    "session: CALL and PUT levels, PUT/CALL ratios, significant levels and fractals, market "
    "borders and open-interest histograms. zarvex-cli does the same work without a window.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zarvex.invalid/")
# The runtime libraries of Debian 12 that the programs link: Qt 6 Widgets (with Gui and Core),
# SQLite, libcurl, PCRE2, libpng and QuantLib.
set(zarvex_deb_depends
    "libc6 (>= 2.34)"
    "libstdc++6 (>= 12)"
    "libsqlite3-0 (>= 3.40)"
    "libcurl4 (>= 7.88)"
    "libpcre2-8-0 (>= 10.42)"
    "libpng16-16 (>= 1.6.39)"
    "libquantlib0v5 (>= 1.29)"
    "zlib1g")
if(ZARVEX_BUILD_GUI)
    # The platform plugin for X11 and Wayland comes with qt6-qpa-plugins.
    list(APPEND zarvex_deb_depends "libqt6widgets6 (>= 6.4)" "libqt6gui6 (>= 6.4)"
         "libqt6core6 (>= 6.4)" "qt6-qpa-plugins" "fonts-dejavu-core")
endif()
list(JOIN zarvex_deb_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
include(CPack)
