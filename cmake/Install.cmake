# The installed layout: the program in bin/, its read-only files in share/meridell/ (the same
# source/ and help/ folders as the application folder, without the database, which every user
# gets made afresh), the desktop entry, the AppStream data, the icons, the manual page and the
# copyright notes. The program tells an installation from the application folder by
# ../share/meridell beside its own folder.
include(GNUInstallDirs)

set(MERIDELL_ID org.meridell.Meridell)
set(MERIDELL_RELEASE_DATE 2026-12-10)
set(MERIDELL_RELEASE_RFC2822 "Thu, 10 Dec 2026 08:00:00 +0000")
set(MERIDELL_DEB_VERSION ${PROJECT_VERSION}-1)
set(MERIDELL_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
set(MERIDELL_PACKAGE_DIR ${CMAKE_SOURCE_DIR}/resources/package)
set(MERIDELL_MADE_DIR ${CMAKE_BINARY_DIR}/desktop)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

configure_file(${MERIDELL_DESKTOP_DIR}/${MERIDELL_ID}.metainfo.xml.in ${MERIDELL_MADE_DIR}/${MERIDELL_ID}.metainfo.xml
               @ONLY)
configure_file(${MERIDELL_PACKAGE_DIR}/changelog.in ${MERIDELL_MADE_DIR}/changelog.Debian @ONLY)

# The icon in the sizes the desktop looks for, drawn from the one SVG at build time.
set(MERIDELL_ICON_SIZES 16 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert)
set(made_files)
if(RSVG_CONVERT)
  foreach(size ${MERIDELL_ICON_SIZES})
    set(png ${MERIDELL_MADE_DIR}/icons/${size}x${size}/${MERIDELL_ID}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${MERIDELL_MADE_DIR}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${MERIDELL_DESKTOP_DIR}/${MERIDELL_ID}.svg
      DEPENDS ${MERIDELL_DESKTOP_DIR}/${MERIDELL_ID}.svg
      COMMENT "Drawing the ${size}x${size} icon")
    list(APPEND made_files ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert (librsvg2-bin) not found: only the scalable icon is installed")
endif()

# The manual page and the package's change log, compressed as Debian keeps them (no name, no time
# stamp in the gzip header, so that the same sources make the same files).
foreach(pair "${MERIDELL_PACKAGE_DIR}/meridell.1|meridell.1.gz" "${MERIDELL_MADE_DIR}/changelog.Debian|changelog.Debian.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 plain)
  list(GET pair 1 packed)
  add_custom_command(
    OUTPUT ${MERIDELL_MADE_DIR}/${packed}
    COMMAND sh -c "gzip -9n -c '${plain}' > '${MERIDELL_MADE_DIR}/${packed}'"
    DEPENDS ${plain}
    VERBATIM)
  list(APPEND made_files ${MERIDELL_MADE_DIR}/${packed})
endforeach()
add_custom_target(meridell_desktop_files ALL DEPENDS ${made_files})

install(TARGETS meridell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${MERIDELL_APP_DIR}/source/bookreport.doc ${MERIDELL_APP_DIR}/source/projectlist.doc
              ${MERIDELL_APP_DIR}/source/picture.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/meridell/source)
install(FILES ${MERIDELL_APP_DIR}/help/PROJECTHELP.html DESTINATION ${CMAKE_INSTALL_DATADIR}/meridell/help)
install(FILES ${MERIDELL_DESKTOP_DIR}/${MERIDELL_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MERIDELL_MADE_DIR}/${MERIDELL_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${MERIDELL_DESKTOP_DIR}/${MERIDELL_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${MERIDELL_MADE_DIR}/meridell.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${MERIDELL_PACKAGE_DIR}/copyright ${MERIDELL_MADE_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/meridell)
