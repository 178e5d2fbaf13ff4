# cmake --install: the libraries, their public headers, the command-line tool,
# the CMake package (find_package(Vandrel) gives Vandrel::Engines and
# Vandrel::Vandrel) and pkg-config files. Components: Runtime for what running
# programs need, Development for building against the libraries.
include(CMakePackageConfigHelpers)

set(VANDREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vandrel)
set(vandrel_libraries vandrel_engines)
set(pc_files vandrel-engines)
set(VANDREL_QT_COMPONENTS Core)
if(TARGET vandrel)
  list(APPEND vandrel_libraries vandrel)
  list(APPEND pc_files vandrel)
  list(APPEND VANDREL_QT_COMPONENTS Gui Widgets PrintSupport Sql)
endif()

# The components library finds the engines beside it.
set_target_properties(${vandrel_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS ${vandrel_libraries} EXPORT VandrelTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vandrel COMPONENT Development
  FILE_SET forwarding DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
if(TARGET vandrel_cli)
  install(TARGETS vandrel_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
endif()

install(EXPORT VandrelTargets NAMESPACE Vandrel:: DESTINATION ${VANDREL_CMAKE_DIR} COMPONENT Development)
configure_package_config_file(cmake/VandrelConfig.cmake.in ${PROJECT_BINARY_DIR}/VandrelConfig.cmake
                              INSTALL_DESTINATION ${VANDREL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VandrelConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VandrelConfig.cmake ${PROJECT_BINARY_DIR}/VandrelConfigVersion.cmake
        DESTINATION ${VANDREL_CMAKE_DIR} COMPONENT Development)

# pkg-config files name their prefix relative to their own folder, so that they
# stay right under any --prefix given at install time.
file(RELATIVE_PATH VANDREL_PC_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" VANDREL_PC_PREFIX ${VANDREL_PC_PREFIX})
foreach(pc IN LISTS pc_files)
  configure_file(cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endforeach()
