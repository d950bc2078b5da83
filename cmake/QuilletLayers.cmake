# quillet_library_headers(<target> <folder>)
#
# Gives <target> an include root of its own that holds exactly one entry, a
# link named <folder> to src/<folder>. "folder/File.h" then resolves for the
# library itself and for whatever links it, and for nothing else: a library
# that includes a header of one it does not link (a layer above it, or a
# sibling) fails to compile instead of quietly growing a cycle.
function(quillet_library_headers target folder)
    set(root "${CMAKE_BINARY_DIR}/include/${folder}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/src/${folder}" "${root}/${folder}" SYMBOLIC)
    target_include_directories(${target} PUBLIC "${root}")
endfunction()
