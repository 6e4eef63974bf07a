# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE): the Debian
# package's Depends comes from dpkg-shlibdeps, which needs the tool itself
# (package dpkg-dev) and file(1). Without them CPack would quietly write a
# package that depends on nothing but what is named by hand, so it stops.
if(CPACK_GENERATOR STREQUAL "DEB")
  foreach(tool dpkg-shlibdeps file)
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
      message(FATAL_ERROR "The Debian package needs ${tool} (packages dpkg-dev, file; "
                          "bash run.sh test installs them).")
    endif()
  endforeach()
endif()
