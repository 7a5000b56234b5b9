# Packages made by CPack from the install rules (`cpack` in a build tree, or
# scripts/kit.sh). Linux: three Debian packages, liblexmsg1 (the shared
# object), liblexmsg-dev (header, the .so link, CMake and pkg-config files)
# and sweepkit-tools (sweepkit-sign and lexmsg-compile with their manual
# pages). Windows: one zip, the lexmsg SDK (DLL, import library, .def,
# header, CMake and pkg-config files).
set(CPACK_PACKAGE_NAME lexmsg)
set(CPACK_PACKAGE_VENDOR "The Ostrel Sweepkit developers")
set(CPACK_PACKAGE_VERSION ${LEXMSG_VERSION})
set(CPACK_PACKAGE_CONTACT "The Ostrel Sweepkit developers <developers@sweepkit.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL runtime development)
  set(CPACK_PACKAGE_FILE_NAME lexmsg-sdk-${LEXMSG_VERSION}-${SK_PE_MACHINE})
  set(CPACK_ARCHIVE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development tools)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://sweepkit.invalid/")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME liblexmsg1)
# ldconfig runs through dpkg's trigger; the maintainer scripts stay empty,
# in place of the ones that call ldconfig themselves.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/triggers
    ${CMAKE_SOURCE_DIR}/packaging/debian/postinst ${CMAKE_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "numbered, localized messages from compressed catalogs
lexmsg serves numbered messages from zlib-compressed catalogs, in UTF-16 or
in an 8-bit code page, and fills their insertion points from typed argument
lists, which can be serialized to bytes and back.

This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME liblexmsg-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "liblexmsg1 (= ${LEXMSG_VERSION})")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "numbered, localized messages from compressed catalogs (development files)
lexmsg serves numbered messages from zlib-compressed catalogs and fills
their insertion points from typed argument lists.

This package holds the header, the link to the shared library, the CMake
package (find_package(lexmsg), target lexmsg::lexmsg) and lexmsg.pc.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME sweepkit-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "signing tool and message catalog compiler of the Ostrel Sweepkit
sweepkit-sign appends RSA signature blocks to files and checks them with the
kit's own verification; lexmsg-compile builds lexmsg message catalogs from
readable sources, dumps, embeds and compares them.")

# Every package carries the copyright file and the changelog that Debian asks
# for, under its own name.
set(sk_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
execute_process(COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/debian/changelog OUTPUT_FILE ${sk_changelog})
foreach(component runtime development tools)
  string(TOUPPER ${component} upper)
  set(doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright ${sk_changelog} DESTINATION ${doc}
          COMPONENT ${component})
endforeach()
include(CPack)

# The Debian packages as a user gets them: made, unpacked into a scratch root
# and the consumer built against that root's /usr.
if(SK_BUILD_TESTS AND NOT SK_SANITIZE)
  set(debs ${CMAKE_BINARY_DIR}/consumer/debs)
  add_test(NAME lexmsg_consumer_debs
           COMMAND sh -c "rm -rf \"$1\" && cpack --config \"$0\" -B \"$1/packages\" >/dev/null && for deb in \"$1\"/packages/*.deb; do dpkg -x \"$deb\" \"$1/root\" || exit 1; done && \"$2\" \"$1/root/usr\" \"$1/work\" native"
                   ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${debs} ${CMAKE_SOURCE_DIR}/tests/consumer/run.sh)
  set_tests_properties(lexmsg_consumer_debs PROPERTIES TIMEOUT 900)
endif()
