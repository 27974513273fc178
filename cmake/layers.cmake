# The layers: a target sees only the headers of its own sources and of the libraries it links.
#
# Headers are included as "folder/file.h". Each target publishes the headers it lists as links
# in build/include/<target>/<folder>/<file>, and that folder is its include directory: public for
# a library, private for a program. A file that includes a header of a library its target does
# not link therefore fails to compile, in every build (Linux, sanitizers, clang, MinGW).
# tests/layers checks the same on every file, also on lines that this build does not compile.

# sc_project_targets(<out> <dir>): the targets defined in <dir> and the folders below it.
function(sc_project_targets out dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        sc_project_targets(below ${subdir})
        list(APPEND targets ${below})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# sc_target_files(<out> <target>): the target's own source files, relative to the source folder.
function(sc_target_files out target)
    get_target_property(dir ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    set(files "")
    foreach(source IN LISTS sources)
        if(source MATCHES "^\\$<" OR NOT source MATCHES "\\.(h|cpp)$")
            continue()
        endif()
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} NORMALIZE OUTPUT_VARIABLE path)
        cmake_path(IS_PREFIX CMAKE_BINARY_DIR ${path} generated)
        cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${path} ours)
        if(ours AND NOT generated)
            file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${path})
            list(APPEND files ${relative})
        endif()
    endforeach()
    set(${out} ${files} PARENT_SCOPE)
endfunction()

# sc_target_sees(<out> <target> <project targets...>): the project's libraries whose headers the
# target sees: itself, what it links, and what those pass on (public links, not private ones).
function(sc_target_sees out target)
    set(seen ${target})
    get_target_property(pending ${target} LINK_LIBRARIES)
    while(pending)
        list(POP_FRONT pending library)
        if(NOT library IN_LIST ARGN OR library IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${library})
        get_target_property(passed ${library} INTERFACE_LINK_LIBRARIES)
        list(APPEND pending ${passed})
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# sc_publish_headers(): called once, after every target is defined. Also writes what the layer
# check reads: each target's files, its headers and the libraries it sees.
function(sc_publish_headers)
    sc_project_targets(all ${CMAKE_SOURCE_DIR})
    set(targets "")
    foreach(target IN LISTS all)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "EXECUTABLE")
            list(APPEND targets ${target})
        endif()
    endforeach()

    set(manifest "set(SC_SOURCE_DIR \"${CMAKE_SOURCE_DIR}\")\nset(SC_TARGETS ${targets})\n")
    foreach(target IN LISTS targets)
        sc_target_files(files ${target})
        set(root ${CMAKE_BINARY_DIR}/include/${target})
        file(REMOVE_RECURSE ${root})
        set(headers "")
        foreach(file IN LISTS files)
            if(file MATCHES "\\.h$")
                list(APPEND headers ${file})
                cmake_path(GET file PARENT_PATH folder)
                file(MAKE_DIRECTORY ${root}/${folder})
                file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${file} ${root}/${file} SYMBOLIC)
            endif()
        endforeach()
        get_target_property(type ${target} TYPE)
        if(headers AND type STREQUAL "STATIC_LIBRARY")
            target_include_directories(${target} PUBLIC ${root})
        elseif(headers)
            target_include_directories(${target} PRIVATE ${root})
        endif()
        sc_target_sees(sees ${target} ${targets})
        string(APPEND manifest "set(SC_FILES_${target} ${files})\n"
                               "set(SC_HEADERS_${target} ${headers})\n"
                               "set(SC_SEES_${target} ${sees})\n")
    endforeach()
    file(WRITE ${CMAKE_BINARY_DIR}/layers.cmake "${manifest}")
endfunction()
