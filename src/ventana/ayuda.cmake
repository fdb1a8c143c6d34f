# The help file, compiled from docs/help and placed beside the program.
find_program(TRALMIX_CHMCMD chmcmd)
set(TRALMIX_AYUDA_PAGINAS index.html entradas.html contactos.html opciones.html resultado.html
    ejemplos.html estilo.css)
set(TRALMIX_AYUDA_FUENTES tralmix.hhp contenido.hhc indice.hhk ${TRALMIX_AYUDA_PAGINAS})
if(TRALMIX_CHMCMD)
    set(fuentes_ayuda "")
    foreach(f IN LISTS TRALMIX_AYUDA_FUENTES)
        list(APPEND fuentes_ayuda ${PROJECT_SOURCE_DIR}/docs/help/${f})
    endforeach()
    set(dir_ayuda ${CMAKE_CURRENT_BINARY_DIR}/ayuda-chm)
    add_custom_command(
        OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/tralmix.chm
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${dir_ayuda}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir_ayuda}
        COMMAND ${CMAKE_COMMAND} -E copy ${fuentes_ayuda} ${dir_ayuda}
        # chmcmd writes the file beside its project, so it runs in the copy's folder.
        COMMAND ${CMAKE_COMMAND} -E chdir ${dir_ayuda} ${TRALMIX_CHMCMD} --verbosity 0 tralmix.hhp
        COMMAND ${CMAKE_COMMAND} -E copy ${dir_ayuda}/tralmix.chm
                ${CMAKE_CURRENT_BINARY_DIR}/tralmix.chm
        DEPENDS ${fuentes_ayuda}
        COMMENT "Compiling the help file tralmix.chm"
        VERBATIM)
    add_custom_target(tralmix_ayuda ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/tralmix.chm)
    if(WIN32)
        install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tralmix.chm DESTINATION ${CMAKE_INSTALL_BINDIR})
    else()
        install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tralmix.chm
                DESTINATION ${CMAKE_INSTALL_DATADIR}/tralmix)
    endif()
else()
    message(STATUS "chmcmd not found (Debian package fp-utils): the help file is not built")
endif()
