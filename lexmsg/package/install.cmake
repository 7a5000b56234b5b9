# What `cmake --install` puts under a prefix for programs that build against
# lexmsg: the header, the library (Linux: liblexmsg.so.1.7.3 with its
# liblexmsg.so.1 and liblexmsg.so links; Windows: bin/lexmsg.dll,
# lib/liblexmsg.dll.a and lib/lexmsg.def), the CMake package with the target
# lexmsg::lexmsg, and lexmsg.pc. Nothing inside names the build or the prefix.
# Components: runtime (what programs need to run), development (the rest).
include(CMakePackageConfigHelpers)
set(lexmsg_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/lexmsg)
set(lexmsg_pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS lexmsg EXPORT lexmsgTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(FILES include/lexmsg.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
if(WIN32)
  install(FILES lexmsg.def DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
endif()

install(EXPORT lexmsgTargets NAMESPACE lexmsg:: DESTINATION ${lexmsg_cmake_dir} COMPONENT development)
configure_package_config_file(package/lexmsgConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/lexmsgConfig.cmake
                              INSTALL_DESTINATION ${lexmsg_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/lexmsgConfigVersion.cmake
                                 VERSION ${LEXMSG_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lexmsgConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/lexmsgConfigVersion.cmake
        DESTINATION ${lexmsg_cmake_dir} COMPONENT development)

# lexmsg.pc finds the prefix from its own place, so the tree can move.
file(RELATIVE_PATH LEXMSG_PC_TO_PREFIX /prefix/${lexmsg_pkgconfig_dir} /prefix)
set(LEXMSG_PC_CFLAGS "")
if(WIN32)
  set(LEXMSG_PC_CFLAGS " -DLEXMSG_DLL_IMPORT")
endif()
configure_file(package/lexmsg.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lexmsg.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lexmsg.pc DESTINATION ${lexmsg_pkgconfig_dir} COMPONENT development)
