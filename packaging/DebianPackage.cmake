# The Debian package: the window program coning-rate with its .desktop entry and icon, the
# headless calculator coning-calc, the Python module coning, manual pages, copyright and changelog.
# Included from the top-level CMakeLists.txt; build it with `cpack -G DEB` in a Release build
# folder.

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
# coning-calc's simulation options run the reservoir simulator flow, found at run time.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libopm-simulators-bin")
if(CONING_BUILD_PYTHON)
    # The compiled module is for this Python version; its import needs NumPy, and pandas and
    # matplotlib are needed only by their functions.
    math(EXPR next_minor "${Python3_VERSION_MINOR} + 1")
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", python3 (>= 3.${Python3_VERSION_MINOR}~), "
        "python3 (<< 3.${next_minor}), python3-numpy")
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-pandas, python3-matplotlib")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/prerm)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

# The control file's long description (CPack puts the summary before it), in lines Debian tools
# show without rewrapping.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Estimates the highest production rate at which water or gas from the\n"
    "adjacent zone is not drawn into the completed interval of a vertical well,\n"
    "with six published correlations (Sobocinski, Muskat, Meyer-Garder, Chaney,\n"
    "Schols and Guo-Lee). The window program coning-rate shows the rates as a\n"
    "report, a bar chart and a rate-penetration chart and prints them; the\n"
    "headless calculator coning-calc computes one well or a CSV table of wells\n"
    "and writes text, CSV or JSON; the Python 3 module coning gives the same\n"
    "numbers for NumPy arrays and pandas DataFrames of wells.")

# What Debian asks of every package: the machine-readable copyright, the changelog and a manual
# page per program, compressed as Debian compresses them (gzip -9n: no file name or time stamp).
# The manual page of coning-calc is made from its --help.
set(debian_doc ${CMAKE_BINARY_DIR}/debian-doc)
set(debian_doc_files ${debian_doc}/changelog.gz)
set(debian_manuals "")
add_custom_command(OUTPUT ${debian_doc}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/doc/changelog
            ${debian_doc}/changelog
    COMMAND gzip -9nf ${debian_doc}/changelog
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/doc/changelog
    VERBATIM)
if(CONING_BUILD_APP)
    add_custom_command(OUTPUT ${debian_doc}/coning-rate.1.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/doc/coning-rate.1
                ${debian_doc}/coning-rate.1
        COMMAND gzip -9nf ${debian_doc}/coning-rate.1
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/doc/coning-rate.1
        VERBATIM)
    list(APPEND debian_manuals ${debian_doc}/coning-rate.1.gz)
endif()
find_program(CONING_HELP2MAN help2man)
if(CONING_HELP2MAN AND NOT CONING_BUILD_FUZZ)
    add_custom_command(OUTPUT ${debian_doc}/coning-calc.1.gz
        # In a sanitizer build the leak check needs ptrace, which containers often refuse.
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                ${CONING_HELP2MAN} --no-info --section 1
                --name "critical coning rate of a vertical well, for one well or a CSV file"
                --include ${PROJECT_SOURCE_DIR}/packaging/doc/coning-calc.h2m
                --output ${debian_doc}/coning-calc.1 $<TARGET_FILE:coning-calc>
        COMMAND gzip -9nf ${debian_doc}/coning-calc.1
        DEPENDS coning-calc ${PROJECT_SOURCE_DIR}/packaging/doc/coning-calc.h2m
        VERBATIM)
    list(APPEND debian_manuals ${debian_doc}/coning-calc.1.gz)
endif()
add_custom_target(coning_debian_doc ALL DEPENDS ${debian_doc_files} ${debian_manuals})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/doc/copyright ${debian_doc_files}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
install(FILES ${debian_manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The user guide, its links and pictures as in the source tree; the manual pages point to it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
file(GLOB coning_guide ${PROJECT_SOURCE_DIR}/docs/*.md ${PROJECT_SOURCE_DIR}/docs/*.png
     ${PROJECT_SOURCE_DIR}/docs/*.csv)
install(FILES ${coning_guide} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME}/docs)

include(CPack)
