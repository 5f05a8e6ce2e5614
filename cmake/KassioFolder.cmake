# Each folder of the core is a library with an include root of its own: the
# root holds only a link named after the folder, so "#include "till/till.h""
# resolves only in targets that link kassio_till (directly or through a
# folder that may use it). A forbidden include then fails to build instead
# of compiling by accident.
function(kassio_include_root target scope folder source_dir)
    set(root ${CMAKE_BINARY_DIR}/include/${folder})
    if(NOT EXISTS ${root}/${folder})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${source_dir} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} ${scope} ${root})
endfunction()

# kassio_folder_library(TARGET FOLDER SOURCES ... LINKS ...): a static library
# of src/FOLDER that exposes only src/FOLDER and what LINKS expose.
function(kassio_folder_library target folder)
    cmake_parse_arguments(K "" "" "SOURCES;LINKS" ${ARGN})
    list(TRANSFORM K_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/src/${folder}/)
    add_library(${target} STATIC ${K_SOURCES})
    kassio_include_root(${target} PUBLIC ${folder} ${CMAKE_SOURCE_DIR}/src/${folder})
    target_link_libraries(${target} PUBLIC kassio_options ${K_LINKS})
endfunction()
