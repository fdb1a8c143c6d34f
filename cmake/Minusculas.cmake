# The browser build's lower-casing table and every build's table of character classes (what a
# list's separator may hold), generated from the build machine's ICU by tools/minusculas.
# Natively the tool is one more target; when cross-building (the browser, Windows) it is built
# apart with the machine's own compiler.
#
# tralmix_tabla_minusculas(TARGET): adds the generated tables' folder to TARGET's include path.
set(TRALMIX_TABLA_DIR ${CMAKE_BINARY_DIR}/generado)
set(TRALMIX_TABLA ${TRALMIX_TABLA_DIR}/util/minusculas_tabla.inc)
set(TRALMIX_TABLA_CLASES ${TRALMIX_TABLA_DIR}/util/clases_tabla.inc)

if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    ExternalProject_Add(tralmix_minusculas_host
        SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/minusculas
        BINARY_DIR ${CMAKE_BINARY_DIR}/minusculas-host
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
        INSTALL_COMMAND ""
        BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/minusculas-host/tralmix_minusculas)
    set(tralmix_generador ${CMAKE_BINARY_DIR}/minusculas-host/tralmix_minusculas)
    set(tralmix_generador_dep tralmix_minusculas_host)
else()
    add_subdirectory(${PROJECT_SOURCE_DIR}/tools/minusculas ${CMAKE_BINARY_DIR}/minusculas)
    set(tralmix_generador $<TARGET_FILE:tralmix_minusculas>)
    set(tralmix_generador_dep tralmix_minusculas)
endif()

add_custom_command(
    OUTPUT ${TRALMIX_TABLA} ${TRALMIX_TABLA_CLASES}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TRALMIX_TABLA_DIR}/util
    COMMAND ${tralmix_generador} ${TRALMIX_TABLA} ${TRALMIX_TABLA_CLASES}
    DEPENDS ${tralmix_generador_dep}
    COMMENT "Tablas de minúsculas y de clases desde ICU")
add_custom_target(tralmix_tabla_minusculas DEPENDS ${TRALMIX_TABLA} ${TRALMIX_TABLA_CLASES})

function(tralmix_tabla_minusculas target)
    add_dependencies(${target} tralmix_tabla_minusculas)
    target_include_directories(${target} PRIVATE ${TRALMIX_TABLA_DIR})
endfunction()
