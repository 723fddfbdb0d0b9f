# A version resource for a target: file description and file name; the
# version is the project's one number.
function(kolektor_version target description filename filetype)
  set(KOLEKTOR_DESCRIPTION "${description}")
  set(KOLEKTOR_FILENAME "${filename}")
  set(KOLEKTOR_FILETYPE "${filetype}")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_BINARY_DIR}/rc/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/rc/${target}.rc)
endfunction()
