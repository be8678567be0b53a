# Installs the build into an empty prefix and checks that the desktop finds everything there.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

include(GNUInstallDirs)
foreach(path
        "${CMAKE_INSTALL_BINDIR}/velmora"
        "${CMAKE_INSTALL_DATADIR}/applications/${APP_ID}.desktop"
        "${CMAKE_INSTALL_DATADIR}/metainfo/${APP_ID}.metainfo.xml"
        "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg")
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# The launcher starts the installed program and names the installed icon.
file(STRINGS "${PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/${APP_ID}.desktop" entry)
if(NOT "Exec=velmora" IN_LIST entry OR NOT "Icon=${APP_ID}" IN_LIST entry)
    message(FATAL_ERROR "the launcher does not name the installed program and icon")
endif()
file(REMOVE_RECURSE "${PREFIX}")
