# Run by CPack after it has made the packages (CPACK_POST_BUILD_SCRIPTS).
# CPack's debug-symbols package lists its files in md5sums by the absolute
# paths of its staging folder, marks them executable, and carries no copyright
# or changelog. This rebuilds it as Debian's own debug packages are: md5sums by
# package path, the symbol files 0644, and the documentation folder a symlink
# to the main package's, which it depends on.
foreach(file IN LISTS CPACK_PACKAGE_FILES)
  if(NOT file MATCHES "-dbgsym_.*\\.ddeb$")
    continue()
  endif()
  set(root "${file}.tree")
  file(REMOVE_RECURSE "${root}")
  execute_process(COMMAND dpkg-deb -R "${file}" "${root}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot unpack ${file}")
  endif()
  file(GLOB_RECURSE symbols RELATIVE "${root}" "${root}/usr/*")
  set(sums "")
  foreach(symbol IN LISTS symbols)
    file(MD5 "${root}/${symbol}" sum)
    string(APPEND sums "${sum}  ${symbol}\n")
    file(CHMOD "${root}/${symbol}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endforeach()
  file(WRITE "${root}/DEBIAN/md5sums" "${sums}")
  file(MAKE_DIRECTORY "${root}/usr/share/doc")
  file(CREATE_LINK "${CPACK_PACKAGE_NAME}" "${root}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym" SYMBOLIC)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b "${root}" "${file}"
                  OUTPUT_QUIET RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot rebuild ${file}")
  endif()
  file(REMOVE_RECURSE "${root}")
endforeach()
