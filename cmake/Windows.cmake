# The Windows build (a MinGW cross build, tools/windows/build.sh): libsodium and libarchive as
# static libraries from one folder, under the target names the Linux build gets from pkg-config
# and FindLibArchive, and the DLLs and plugins the programs need installed beside them.

set(GYVKT_WIN64_DEPS "${PROJECT_SOURCE_DIR}/../shared/win64-deps" CACHE PATH
    "Static libsodium and libarchive built for 64-bit Windows")
foreach(file include/sodium.h include/archive.h lib/libsodium.a lib/libarchive_static.a)
    if(NOT EXISTS "${GYVKT_WIN64_DEPS}/${file}")
        message(FATAL_ERROR "GYVKT_WIN64_DEPS (${GYVKT_WIN64_DEPS}) has no ${file}")
    endif()
endforeach()

# Both are static: their headers must not ask for DLL imports.
add_library(PkgConfig::SODIUM STATIC IMPORTED GLOBAL)
set_target_properties(PkgConfig::SODIUM PROPERTIES
    IMPORTED_LOCATION "${GYVKT_WIN64_DEPS}/lib/libsodium.a"
    INTERFACE_INCLUDE_DIRECTORIES "${GYVKT_WIN64_DEPS}/include"
    INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC)
add_library(LibArchive::LibArchive STATIC IMPORTED GLOBAL)
set_target_properties(LibArchive::LibArchive PROPERTIES
    IMPORTED_LOCATION "${GYVKT_WIN64_DEPS}/lib/libarchive_static.a"
    INTERFACE_INCLUDE_DIRECTORIES "${GYVKT_WIN64_DEPS}/include"
    INTERFACE_COMPILE_DEFINITIONS LIBARCHIVE_STATIC)

# The runtime beside the installed programs: the compiler's own DLLs, Qt's, and the plugins Qt
# looks for in the program's folder.
function(gyvkt_install_windows_runtime)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
            OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
            message(FATAL_ERROR "The compiler does not know where ${dll} is")
        endif()
        install(FILES "${path}" DESTINATION ${CMAKE_INSTALL_BINDIR})
    endforeach()
    foreach(module Core Gui Widgets PrintSupport Concurrent)
        install(FILES "$<TARGET_FILE:Qt6::${module}>" DESTINATION ${CMAKE_INSTALL_BINDIR})
    endforeach()
    set(plugins "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}")
    install(FILES "${plugins}/platforms/qwindows.dll" DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
    install(FILES "${plugins}/styles/qwindowsvistastyle.dll" DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)
    install(DIRECTORY "${plugins}/imageformats/" DESTINATION ${CMAKE_INSTALL_BINDIR}/imageformats
        FILES_MATCHING PATTERN "*.dll")
endfunction()
