# The Windows installer: CPack's NSIS generator with this folder's own
# NSIS.template.in. Built by scripts/build-windows.sh (cpack), it lands at
# OSTREL_INSTALLER.
install(TARGETS OstrelWallpapers RUNTIME DESTINATION .)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Ostrel Wallpapers")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Ostrel Wallpapers")
set(CPACK_NSIS_DISPLAY_NAME "Ostrel Wallpapers")
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/resources/app.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/resources/app.ico)
# Read by the template: the program the shortcuts start.
set(CPACK_OSTREL_PROGRAM OstrelWallpapers.exe)
set(CPACK_PACKAGE_FILE_NAME OstrelWallpapers-${PROJECT_VERSION}-setup)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/installer)
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
# Before include(CPack), which leaves the source package's name in CPACK_PACKAGE_FILE_NAME.
set(OSTREL_INSTALLER ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.exe)
include(CPack)
