# What the Windows build (MinGW-w64, cross-compiled on Debian) needs beside the common settings.

enable_language(RC)

# Windows 7 is the oldest system the programs are meant for.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE)
# No DLLs of the compiler's runtime beside the programs.
add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

# Neither a benchmark library nor Qt exists for MinGW on Debian.
set(TRALMIX_BUILD_BENCH OFF CACHE BOOL "" FORCE)

# CLI11 is header-only and lives in the host's /usr/include, which the toolchain's search roots
# hide (and which must not come before MinGW's own headers): only its folder is reached, through
# a link in the build tree.
find_path(TRALMIX_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(tralmix_cli11_dir ${CMAKE_BINARY_DIR}/cli11)
file(MAKE_DIRECTORY ${tralmix_cli11_dir})
file(CREATE_LINK ${TRALMIX_CLI11_INCLUDE}/CLI ${tralmix_cli11_dir}/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${tralmix_cli11_dir})

# GoogleTest for MinGW is built from Debian's sources with the project.
if(TRALMIX_BUILD_TESTS)
    set(TRALMIX_GOOGLETEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources (Debian googletest)")
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${TRALMIX_GOOGLETEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
