# What every package says about who may do what with the program: it is under the GNU GPL,
# version 3 or later (LICENSE), and carries the notices of what is linked into it, made
# by packaging/make-notices from Debian's copyright files of the packages it came from:
#
#   Debian package   usr/share/doc/amrconvert/copyright, machine-readable: the program,
#                    and the GCC runtime libraries linked into the tool folder's programs
#                    (the libraries the programs load have copyright files of their own
#                    packages)
#   Windows          the folder licences\ beside the program: the full texts of the GPL 3,
#                    the LGPL 2.1 and 3 and the Apache licence 2.0, and libraries.txt, the
#                    notices of every library linked in, which scripts/windows makes from
#                    the libraries it built and names in AMR_LIBRARY_NOTICES
set(make_notices ${PROJECT_SOURCE_DIR}/packaging/make-notices)

if(WIN32)
  if(NOT AMR_LIBRARY_NOTICES)
    message(FATAL_ERROR "AMR_LIBRARY_NOTICES names no notices of the libraries linked in (scripts/windows makes them)")
  endif()
  foreach(licence GPL-3 LGPL-2.1 LGPL-3 Apache-2.0)
    install(FILES /usr/share/common-licenses/${licence} DESTINATION licences RENAME ${licence}.txt)
  endforeach()
  install(FILES ${AMR_LIBRARY_NOTICES} DESTINATION licences RENAME libraries.txt)
else()
  set(program_name "Free Tarvik AMR Format Converter")
  # The library file the compiler links in for -static-libstdc++ tells the package
  # whose copyright file states the runtime's terms.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++.a
    OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(copyright ${CMAKE_BINARY_DIR}/packaging/copyright)
  string(REGEX REPLACE "^/" "" packaged_tool_folder "${CPACK_PACKAGING_INSTALL_PREFIX}/${AMR_INSTALL_TOOL_FOLDER}")
  add_custom_command(OUTPUT ${copyright}
    COMMAND ${make_notices} ${copyright} --debian ${program_name} "${program_name} developers"
            --gcc-runtime "GCC runtime libraries (libstdc++ and libgcc)" ${libstdcxx}
            --linked-into ${packaged_tool_folder}/madplay.exe ${packaged_tool_folder}/converter
    DEPENDS ${make_notices} ${libstdcxx}
    COMMENT "Writing the Debian copyright file"
    VERBATIM)
  add_custom_target(copyright ALL DEPENDS ${copyright})
  install(FILES ${copyright} DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
