# The Debian package: the window program coning-rate with its .desktop entry and icon, and the
# headless calculator coning-calc. Included from the top-level CMakeLists.txt; build it with
# `cpack -G DEB` in a Release build folder.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME coning-rate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Coning Rate developers")
set(CPACK_PACKAGE_CONTACT "Coning Rate developers <coning-rate@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION} for vertical wells")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Estimates the highest production rate at which water or gas from the adjacent zone is not "
    "drawn into the completed interval of a vertical well, with six published correlations "
    "(Sobocinski, Muskat, Meyer-Garder, Chaney, Schols and Guo-Lee). The window program "
    "coning-rate shows the rates as a report, a bar chart and a rate-penetration chart and prints "
    "them; the headless calculator coning-calc computes one well or a CSV table of wells and "
    "writes text, CSV or JSON.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # coning-rate_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# The libraries the programs link are found by dpkg-shlibdeps; what Qt loads at run time as
# plugins is not, nor the fonts the window is laid out for (Liberation Sans for the form, DejaVu
# Sans Mono for the report), so those packages are named here and the scan's result is added.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, fonts-dejavu-core")

include(CPack)
