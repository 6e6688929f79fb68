# The Debian package, built by `cpack -G DEB` (scripts/package.sh configures and runs it). Including
# CPack only writes its configuration; a plain build does no packaging work.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quendra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUENDRA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion for the Orvanel home-automation server")
set(CPACK_PACKAGE_DESCRIPTION
    "Quendra lives in the tray, keeps one link to the KO gateway of an Orvanel server and offers a menu "
    "built from the server's communication objects to switch, dim and read them, with live values and "
    "state icons. It raises notifications and sounds on value changes, downloads files, controls the "
    "screen saver, polls mailboxes and checks web queries for the server. The user interface is German.\n"
    "The package also holds ovsim, a simulator of the server for trying the program out.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUENDRA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# What the linker cannot see: the platform plugins, the web engine's helper process and the SVG
# image plugin are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6webenginecore6-bin, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, sound-theme-freedesktop, dbus")

include(CPack)
