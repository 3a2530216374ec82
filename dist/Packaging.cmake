# The Debian package: `cd out && cpack -G DEB` gives pelko_<version>_<arch>.deb
# with the files of the install rules, installed under /usr.

set(CPACK_PACKAGE_NAME pelko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pelko developers")
set(CPACK_PACKAGE_CONTACT "Pelko developers <pelko@users.noreply.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personalised KJX packages for Java handsets")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# One package of everything installed, whatever the build type.
set(CPACK_DEB_COMPONENT_INSTALL OFF)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # pelko_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above is the synopsis line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Pelko turns a prepared Java handset application (a template: a .jad
descriptor beside its .jar archive) into a personalised ezplus package,
one KJX file holding a short header, the descriptor text and the archive.
.
The window lets one pick a template, type the application name and the
author and set the template's options; pelko-cli builds the same packages
from the command line and reads packages back to check them. Templates of
the user's own go into ~/.local/share/pelko/templates.")
# Libraries found by dpkg-shlibdeps; the window's platform plugin is loaded
# at run time, so no library dependency names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET pelko)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")
endif()

include(CPack)
