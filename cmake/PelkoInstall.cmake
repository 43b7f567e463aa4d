# Installing Pelko (cmake --install, with CMAKE_INSTALL_PREFIX and DESTDIR):
# the two programs; the help pages and the demo project in the data folder
# <datadir>/pelko, where the installed program looks for them; the launcher,
# the icon in the hicolor theme, the AppStream metainfo and the project file
# type; the manual pages, made from the programs' own --help; bash completion
# for pelko-cli. The Debian package (cpack -G DEB) holds the same files.

set(PELKO_APP_ID org.pelko.Pelko)
set(PELKO_WEBSITE "https://pelko.org" CACHE STRING "Pelko's web site, named in the AppStream metainfo")
set(desktop_dir "${PROJECT_SOURCE_DIR}/data/desktop")
set(pelko_datadir "${CMAKE_INSTALL_DATADIR}/pelko")

install(TARGETS pelko-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/help" "${PROJECT_SOURCE_DIR}/data/demo"
        DESTINATION "${pelko_datadir}")
install(FILES "${desktop_dir}/pelko-cli.bash" DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions"
        RENAME pelko-cli)
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION "${CMAKE_INSTALL_DOCDIR}" RENAME copyright)

# Manual pages: the help text of each program through man_page.awk.
set(man_dir "${PROJECT_BINARY_DIR}/man")
set(man_pages)
function(pelko_man_page target)
  set(page "${man_dir}/${target}.1")
  add_custom_command(
    OUTPUT "${page}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${man_dir}"
    COMMAND "${CMAKE_COMMAND}" -E env ASAN_OPTIONS=detect_leaks=0 sh -c
            "\"$1\" --help > \"$3.help\" && awk -v program=\"$1\" -f \"$2\" \"$3.help\" > \"$3.tmp\" && mv \"$3.tmp\" \"$3\""
            man_page "$<TARGET_FILE:${target}>" "${PROJECT_SOURCE_DIR}/cmake/man_page.awk" "${page}"
    DEPENDS ${target} "${PROJECT_SOURCE_DIR}/cmake/man_page.awk"
    COMMENT "Manual page ${target}(1) from ${target} --help"
    VERBATIM)
  set(man_pages ${man_pages} "${page}" PARENT_SCOPE)
endfunction()
pelko_man_page(pelko-cli)

if(TARGET pelko)
  install(TARGETS pelko RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  pelko_man_page(pelko)
  install(FILES "${desktop_dir}/${PELKO_APP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  configure_file("${desktop_dir}/${PELKO_APP_ID}.metainfo.xml.in"
                 "${PROJECT_BINARY_DIR}/${PELKO_APP_ID}.metainfo.xml" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/${PELKO_APP_ID}.metainfo.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
  install(FILES "${desktop_dir}/${PELKO_APP_ID}.mime.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages"
          RENAME "${PELKO_APP_ID}.xml")
  set(icons "${CMAKE_INSTALL_DATADIR}/icons/hicolor")
  install(FILES "${desktop_dir}/icons/pelko.svg" DESTINATION "${icons}/scalable/apps" RENAME "${PELKO_APP_ID}.svg")
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES "${desktop_dir}/icons/pelko-${size}.png" DESTINATION "${icons}/${size}x${size}/apps"
            RENAME "${PELKO_APP_ID}.png")
  endforeach()
endif()

add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

# The Debian package: ./pelko package, or cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelko)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Pelko developers <pelko@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make animated GIFs and AVI videos from pictures")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pelko builds an ordered list of frames from pictures (BMP, JPEG, PNG, ICO and every frame of GIF files), "
    "gives each frame its time, place and look, previews the animation and writes an animated GIF or an AVI "
    "video with an optional WAV sound track. pelko-cli does the same work without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# besides the libraries dpkg-shlibdeps finds: Qt's desktop plugins and the
# video libraries (libavformat59 and so on, by the major versions built
# against), which the programs load at run time, and a font for the text
# frames
set(pelko_video_packages "")
foreach(m libavformat libavcodec libavutil libswscale libswresample)
  string(REGEX MATCH "^[0-9]+" major "${FFMPEG_${m}_VERSION}")
  if(major)
    list(APPEND pelko_video_packages "${m}${major}")
  endif()
endforeach()
list(JOIN pelko_video_packages ", " pelko_video_packages)
if(pelko_video_packages)
  string(APPEND pelko_video_packages ", ")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, ${pelko_video_packages}fonts-dejavu-core | fonts-freefont-ttf")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PELKO_WEBSITE}")
include(CPack)
