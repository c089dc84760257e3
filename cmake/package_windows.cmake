# The Windows download, made by `cpack` in the windows build:
# varnholt-<version>-win64.zip with the converter, the help, and the README and
# licence as text files with Windows line ends.
foreach(document README.md LICENSE)
    file(READ ${PROJECT_SOURCE_DIR}/${document} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    get_filename_component(stem ${document} NAME_WE)
    file(WRITE ${CMAKE_BINARY_DIR}/package/${stem}.txt "${text}")
    install(FILES ${CMAKE_BINARY_DIR}/package/${stem}.txt DESTINATION .)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${document})
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME varnholt)
set(CPACK_PACKAGE_VENDOR "The Varnholt developers")
set(CPACK_PACKAGE_FILE_NAME varnholt-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
