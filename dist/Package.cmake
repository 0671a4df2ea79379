# The Debian package: `cpack -G DEB` in the build folder makes corvanta_VERSION_ARCH.deb
# from exactly what `cmake --install` installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvanta)
set(CPACK_PACKAGE_VENDOR Meridot)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Meridot <corvanta@meridot.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "change hidden Windows settings of Wine prefixes and Windows disks")
set(CPACK_PACKAGE_DESCRIPTION [=[
Corvanta inspects and changes hidden Windows settings through a catalogue of
plugins: each plugin declares one settings page and carries a VBScript script
that fills the page from the Windows system and writes the choices back.
.
The Windows system is a target: a sandbox created on first use, a Wine prefix,
or a Windows partition mounted on Linux; the Linux host is never changed.
Every apply is journaled and can be undone. Besides the window (cva) the
package holds the command-line programs cva-cli, cva-reg and cvascript.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.meridot.example/corvanta/")
# The libraries come from what the programs are linked against; Qt's platform plugins
# are loaded at run time, so no link names them, yet the window cannot open without them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# libskyfetch travels inside the package itself; dpkg-shlibdeps runs in the package's
# staging root, so the folder is relative to it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "usr/${CMAKE_INSTALL_LIBDIR}")
# Wine runs the programs of Wine prefixes and checks what plugins wrote; xdg-open hands
# the manual and web links to the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, xdg-utils")
include(CPack)
