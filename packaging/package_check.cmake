# Read by cpack before it makes the Debian package: a package is only made
# from a build configured as scripts/package.sh configures it (the programs
# in /usr/games, as Debian's games section wants) and with SOURCE_DATE_EPOCH
# set (the archive's times then come from the last commit, so that the same
# commit gives the same bytes). Anything else is refused with one sentence.
if(CPACK_GENERATOR STREQUAL "DEB")
    if(NOT CPACK_DEMO_INSTALL_PREFIX STREQUAL "/usr" OR NOT CPACK_DEMO_INSTALL_BINDIR STREQUAL "games"
       OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
        message(FATAL_ERROR "cpack: make the Debian package with scripts/package.sh, which "
                            "configures its own build for /usr/games and sets SOURCE_DATE_EPOCH "
                            "from the last commit; this build installs to "
                            "${CPACK_DEMO_INSTALL_PREFIX}/${CPACK_DEMO_INSTALL_BINDIR}")
    endif()
endif()
