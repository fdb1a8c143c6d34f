# The Debian package (scripts/package-debian.sh: cpack -G DEB): what it ships beside the
# programs, and CPack's settings. Linux only.

option(TRALMIX_MANUALES "Build the Spanish man pages from the programs' --help (help2man)" OFF)
set(TRALMIX_MANTENEDOR "Tralmix maintainers <maintainers@tralmix.invalid>"
    CACHE STRING "The Debian package's Maintainer field")

set(tralmix_linux ${PROJECT_SOURCE_DIR}/packaging/linux)
set(tralmix_paquete ${PROJECT_BINARY_DIR}/paquete)
set(tralmix_docdir ${CMAKE_INSTALL_DATADIR}/doc/tralmix)
file(MAKE_DIRECTORY ${tralmix_paquete})

# Policy's modes for the folders the install creates, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The changelog's newest entry gives the Debian revision, and must be for this version: a new
# project() version without its entry would ship a package whose history says otherwise.
file(STRINGS ${tralmix_linux}/changelog tralmix_entrada LIMIT_COUNT 1)
string(REPLACE "." "\\." tralmix_version_re "${PROJECT_VERSION}")
if(NOT tralmix_entrada MATCHES "^tralmix \\(${tralmix_version_re}-([0-9]+)\\) ")
    message(FATAL_ERROR "packaging/linux/changelog: the newest entry is not for version "
                        "${PROJECT_VERSION}: ${tralmix_entrada}")
endif()
set(tralmix_revision ${CMAKE_MATCH_1})

# Debian wants the changelog and man pages compressed with gzip -9n (no name, no time), so that
# the same sources give the same package.
find_program(TRALMIX_GZIP gzip REQUIRED)
add_custom_command(
    OUTPUT ${tralmix_paquete}/changelog.Debian.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${tralmix_linux}/changelog ${tralmix_paquete}/changelog.Debian
    COMMAND ${TRALMIX_GZIP} -9nf ${tralmix_paquete}/changelog.Debian
    DEPENDS ${tralmix_linux}/changelog
    COMMENT "Compressing the Debian changelog"
    VERBATIM)
add_custom_target(tralmix_changelog ALL DEPENDS ${tralmix_paquete}/changelog.Debian.gz)
install(FILES ${tralmix_linux}/copyright ${tralmix_paquete}/changelog.Debian.gz
        DESTINATION ${tralmix_docdir})
install(FILES ${tralmix_linux}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tralmix)

if(TRALMIX_MANUALES)
    # help2man writes the headings in Spanish only under a Spanish locale: one of our own, made
    # with localedef from the locales package, so the machine's locales stay as they are.
    find_program(TRALMIX_HELP2MAN help2man REQUIRED)
    find_program(TRALMIX_LOCALEDEF localedef REQUIRED)
    set(tralmix_locales ${tralmix_paquete}/locales)
    add_custom_command(
        OUTPUT ${tralmix_locales}/es_ES.UTF-8/LC_CTYPE
        COMMAND ${TRALMIX_LOCALEDEF} -i es_ES -f UTF-8 ${tralmix_locales}/es_ES.UTF-8
        COMMENT "Making a Spanish locale for help2man"
        VERBATIM)
    set(tralmix_manuales "")
    set(tralmix_programas tralmix-cli)
    if(TRALMIX_BUILD_GUI)
        list(APPEND tralmix_programas tralmix)
    endif()
    foreach(programa IN LISTS tralmix_programas)
        set(pagina ${tralmix_paquete}/${programa}.1)
        # The program is found on PATH so that its usage line names it without a folder; the
        # window shows its help with no display.
        add_custom_command(
            OUTPUT ${pagina}.gz
            COMMAND ${CMAKE_COMMAND} -E env LOCPATH=${tralmix_locales} QT_QPA_PLATFORM=offscreen
                    "PATH=$<TARGET_FILE_DIR:${programa}>:$ENV{PATH}"
                    ${TRALMIX_HELP2MAN} --no-info --locale=es_ES.UTF-8
                    "--version-string=${programa} ${PROJECT_VERSION}"
                    --include=${tralmix_linux}/${programa}.h2m --output=${pagina} ${programa}
            COMMAND ${TRALMIX_GZIP} -9nf ${pagina}
            DEPENDS ${programa} ${tralmix_linux}/${programa}.h2m
                    ${tralmix_locales}/es_ES.UTF-8/LC_CTYPE
            COMMENT "Writing the man page of ${programa}"
            VERBATIM)
        list(APPEND tralmix_manuales ${pagina}.gz)
    endforeach()
    add_custom_target(tralmix_manuales ALL DEPENDS ${tralmix_manuales})
    install(FILES ${tralmix_manuales} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(TRALMIX_BUILD_GUI)
    # The icon in the hicolor theme's sizes (32 and 48 are installed with the window).
    foreach(lado 16 24 64 128 256)
        install(FILES ${tralmix_linux}/iconos/${lado}x${lado}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${lado}x${lado}/apps
                RENAME org.example.Tralmix.png)
    endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tralmix)
set(CPACK_PACKAGE_VENDOR Tralmix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TRALMIX_MANTENEDOR})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sorted, dated mailing lists from files of e-mail addresses")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${tralmix_revision})
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# The libraries come from dpkg-shlibdeps; what the programs load or start by name is added here:
# Qt's platform plugins (the window shows nothing without them) and xdg-open (the list, the help
# and the web site are opened through it).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, xdg-utils")
# Qt's own dialogs in Spanish; the fonts the window's texts are laid out for (metric twins of the
# ones it names).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation2")
# The long description only: CPack puts the summary before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tralmix reads a file of e-mail addresses (a plain list, the text of pasted
messages, a .ctt contact list, vCard, CSV or LDIF contacts, or saved .eml and
mbox mail), takes out the addresses, cleans and sorts them, and writes the
list Mails_YYYYMMDD.txt in groups of 48, ready to paste into the recipients
of a mail program. The package holds the window (tralmix) and the command
(tralmix-cli), their help in Spanish, and the desktop's file type for .ctt.

Tralmix lee un archivo de direcciones de correo (una lista simple, el texto de
correos pegados, una lista de contactos .ctt, contactos vCard, CSV o LDIF, o
correos guardados .eml y mbox), extrae las direcciones, las limpia y las
ordena, y escribe la lista Mails_AAAAMMDD.txt en grupos de 48, lista para
pegar en los destinatarios de un programa de correo.")
include(CPack)
