# The Debian package, built by `cpack -G DEB` (scripts/package.sh configures and runs it). Including
# CPack only writes its configuration; a plain build does no packaging work.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quendra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUENDRA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion for the Orvanel home-automation server")
# One line of the control file per line here: CPack does not wrap.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quendra lives in the tray, keeps one link to the KO gateway of an Orvanel\n"
    "server and offers a menu built from the server's communication objects to\n"
    "switch, dim and read them, with live values and state icons. It raises\n"
    "notifications and sounds on value changes, downloads files, controls the\n"
    "screen saver, polls mailboxes and checks web queries for the server.\n"
    "The user interface is German.\n"
    "\n"
    "The package also holds ovsim, a simulator of the server for trying the\n"
    "program out.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUENDRA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# What the linker cannot see: the platform plugins, the SVG image plugin and the SQLite driver of
# the history "Verlauf" are loaded at run time; the history's charts (Qt Charts) and SQLite (the
# history writes its rows through the library of that driver) are named too, so that the package
# says what the window needs even where dpkg-shlibdeps is not run.
# (The plugins in /usr/lib/quendra/plugins — the web checker's browser, the mailbox exchange on
# VMime, the history's chart — are in the package, and dpkg-shlibdeps finds their libraries from
# them; the engine's helper process and its German pages come with the web engine library's own
# dependencies. libcanberra is opened at the first sound, so it is named too.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, libqt6sql6-sqlite, libsqlite3-0, libqt6charts6, libcanberra0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, sound-theme-freedesktop, dbus")

include(CPack)
