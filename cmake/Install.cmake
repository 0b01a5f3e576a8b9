# Installing the programs as a Linux program is installed (GNU directories,
# a menu entry, an icon, manual pages, the online and HTTP services), and packaging
# that as a Debian package: cmake --install build; cd build && cpack -G DEB.
include(GNUInstallDirs)

set(TARVO_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS tarvoprog tarvoctl mx7350-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Qt's own texts in Romanian; tarvoprog finds them relative to its own path.
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${TARVO_QT_TRANSLATION}.qm
        DESTINATION ${TARVO_TRANSLATION_INSTALL_DIR})

install(FILES ${TARVO_PACKAGING_DIR}/tarvoprog.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TARVO_PACKAGING_DIR}/tarvoprog.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages go in compressed, as Debian wants them; -n keeps the bytes
# the same from one build to the next.
set(TARVO_MAN_PAGES)
foreach(page tarvoctl.1 mx7350-sim.1)
  set(out ${CMAKE_BINARY_DIR}/packaging/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${TARVO_PACKAGING_DIR}/${page} > ${out}
    DEPENDS ${TARVO_PACKAGING_DIR}/${page}
    VERBATIM)
  list(APPEND TARVO_MAN_PAGES ${out})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${TARVO_MAN_PAGES})
install(FILES ${TARVO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The unit names the installed tarvoctl by its full path, which is known only
# when installing: a package is installed under /usr whatever this tree was
# configured with. systemd also reads /usr/local/lib/systemd/system.
foreach(unit tarvoprog-online tarvoprog-serve)
  install(CODE "
    set(TARVO_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    configure_file(\"${TARVO_PACKAGING_DIR}/${unit}.service.in\"
                   \"${CMAKE_BINARY_DIR}/packaging/${unit}.service\" @ONLY)
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/system\" TYPE FILE
         FILES \"${CMAKE_BINARY_DIR}/packaging/${unit}.service\")
  ")
endforeach()

# Not installed as a drop-in: it opens the service to the network, which only
# a register behind a device server needs.
install(FILES ${TARVO_PACKAGING_DIR}/tarvoprog-online-network.conf DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvoprog)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
