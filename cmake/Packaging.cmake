# The Debian package, made by `cpack -G DEB` in the build folder from the installed layout
# (cmake/Install.cmake) under /usr. The libraries the program links are found by dpkg-shlibdeps;
# what it loads or uses without linking is named here: the SQLite driver of Qt SQL, the faces the
# documents are set in, Qt's Chinese translations (the standard buttons' captions), and LibreOffice
# Writer, which only the PDFs need.
set(CPACK_PACKAGE_NAME meridell)
set(CPACK_PACKAGE_VENDOR "The Meridell developers")
set(CPACK_PACKAGE_CONTACT "The Meridell developers <maintainers@meridell.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "soft-science research project applications")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://meridell.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the long description after it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Meridell is the desktop program of a provincial soft-science research plan.
Research institutes enter their project applications on a thirteen-page
form, print each one as a design task book and the whole set as a project
list, and hand everything in as one archive. The plan's office imports those
archives into its own database, finds, edits, deletes and prints projects.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-noto-cjk, fonts-arphic-ukai, fonts-liberation2, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-writer-nogui | libreoffice-writer")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
