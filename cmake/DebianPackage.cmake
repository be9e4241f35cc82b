# The Debian package, made by `cpack -G DEB` in the build folder (scripts/package).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop client for the Baidu general translation API")
# Debian wants the long description in short lines.
set(CPACK_PACKAGE_DESCRIPTION
    [=[
Quorvel translates text with the Baidu general translation API
(百度通用翻译API). In the window, quorvel, paste a text, pick the source
and target languages, and the translation appears below it, one
paragraph per line; its interface is in Simplified Chinese. From a
terminal, quorvel-cli translates its arguments, standard input or a
document of any length at the account's rate. The service needs an App
ID and a secret key of your own.]=])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The build keeps its debugging information; the package does not need it, nor the compiler's
# version string.
set(CPACK_STRIP_FILES ON)
set(CPACK_QUORVEL_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPackage.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORVEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The linked libraries come from dpkg-shlibdeps. It cannot see what is opened by name at run
# time: libcurl (on the first translation), Qt's Chinese translations and a Chinese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, qt6-translations-l10n, fonts-noto-cjk")
# The window runs natively on a Wayland desktop with Qt's Wayland plugin, and through XWayland
# without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

include(CPack)
