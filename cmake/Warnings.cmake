# Warnings are errors in our own code only; third-party headers come in as SYSTEM.
function(tralmix_warnings target)
    set(avisos -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Werror)
    # C++ only: a Windows program's resource script goes through the same target.
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${avisos}>")
    # GCC 12 at -O3 reports a false overlap in the inlined std::string operator+ (GCC bug
    # 105329), which would break every optimised build of the tests.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
    endif()
endfunction()
