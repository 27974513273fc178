# Checks the layers on every source file: a file may include a project header ("folder/file.h")
# only when the header is its own target's or belongs to a library its target sees, the same rule
# the include directories enforce on what a build compiles. This check also reads lines that no
# build here compiles (#ifdef Q_OS_WIN, files of other systems' targets) and names file and line.
#
#   cmake -DSC_LAYERS=<build>/layers.cmake -P checklayers.cmake
#
# SC_LAYERS is written when the build is configured (cmake/layers.cmake): per target its files,
# its headers and the libraries it sees. Files of the targets' folders that no target of this
# build lists are checked against every target of their folder, and pass when one of them may.

cmake_minimum_required(VERSION 3.25)

if(NOT SC_LAYERS)
    message(FATAL_ERROR "usage: cmake -DSC_LAYERS=<build>/layers.cmake -P checklayers.cmake")
endif()
include(${SC_LAYERS})

# Who owns what: header -> libraries, file -> targets, folder -> targets.
set(folders "")
foreach(target IN LISTS SC_TARGETS)
    foreach(header IN LISTS SC_HEADERS_${target})
        string(MAKE_C_IDENTIFIER "${header}" key)
        list(APPEND owner_${key} ${target})
    endforeach()
    foreach(file IN LISTS SC_FILES_${target})
        string(MAKE_C_IDENTIFIER "${file}" key)
        list(APPEND compiledby_${key} ${target})
        cmake_path(GET file PARENT_PATH folder)
        string(MAKE_C_IDENTIFIER "${folder}" folderkey)
        if(NOT folder IN_LIST folders)
            list(APPEND folders ${folder})
        endif()
        if(NOT target IN_LIST targets_${folderkey})
            list(APPEND targets_${folderkey} ${target})
        endif()
    endforeach()
endforeach()

# Lines of a file, numbered from 1; characters that CMake lists treat specially are replaced.
function(read_lines out path)
    file(READ ${path} content)
    string(REPLACE ";" "," content "${content}")
    string(REPLACE "[" "(" content "${content}")
    string(REPLACE "]" ")" content "${content}")
    string(REPLACE "\\" "/" content "${content}")
    string(REPLACE "\n" ";" lines "${content}")
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()

set(errors 0)
list(SORT folders)
foreach(folder IN LISTS folders)
    string(MAKE_C_IDENTIFIER "${folder}" folderkey)
    file(GLOB paths RELATIVE ${SC_SOURCE_DIR} ${SC_SOURCE_DIR}/${folder}/*.h
         ${SC_SOURCE_DIR}/${folder}/*.cpp)
    list(SORT paths)
    foreach(file IN LISTS paths)
        string(MAKE_C_IDENTIFIER "${file}" key)
        set(viewers ${compiledby_${key}})
        set(listed TRUE)
        if(NOT viewers)
            set(viewers ${targets_${folderkey}})
            set(listed FALSE)
        endif()
        read_lines(lines ${SC_SOURCE_DIR}/${file})
        set(number 0)
        foreach(line IN LISTS lines)
            math(EXPR number "${number} + 1")
            if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]+)[\">]")
                continue()
            endif()
            set(quoted "${CMAKE_MATCH_1}")
            set(header "${CMAKE_MATCH_2}")
            string(MAKE_C_IDENTIFIER "${header}" headerkey)
            set(owners ${owner_${headerkey}})
            if(NOT owners)
                if(quoted STREQUAL "<")
                    continue()
                elseif(header MATCHES "(^|/)\\.\\.?/")
                    # A path from the including file's own folder ("./", "../") is found there
                    # before any include directory: it would reach past the layers.
                    cmake_path(ABSOLUTE_PATH header BASE_DIRECTORY ${SC_SOURCE_DIR}/${folder}
                               NORMALIZE OUTPUT_VARIABLE resolved)
                    file(RELATIVE_PATH resolved ${SC_SOURCE_DIR} ${resolved})
                    message("${file}:${number}: includes \"${header}\": write the folder, "
                            "\"${resolved}\"")
                    math(EXPR errors "${errors} + 1")
                elseif(NOT header MATCHES "/")
                    # Only what the build generates beside the sources goes without a folder.
                    if(NOT header MATCHES "(^moc_.*\\.cpp|\\.moc)$")
                        message("${file}:${number}: includes \"${header}\": write the folder, "
                                "\"${folder}/${header}\"")
                        math(EXPR errors "${errors} + 1")
                    endif()
                elseif(EXISTS ${SC_SOURCE_DIR}/${header})
                    message("${file}:${number}: includes ${header}, which no target lists")
                    math(EXPR errors "${errors} + 1")
                endif()
                continue()
            endif()
            # Allowed when every target that compiles the file sees the header's library (for
            # a file no target here compiles: when one target of its folder does).
            set(blocked "")
            set(allowed FALSE)
            foreach(viewer IN LISTS viewers)
                set(sees FALSE)
                foreach(owner IN LISTS owners)
                    if(owner IN_LIST SC_SEES_${viewer})
                        set(sees TRUE)
                    endif()
                endforeach()
                if(sees)
                    set(allowed TRUE)
                else()
                    list(APPEND blocked ${viewer})
                endif()
            endforeach()
            if(blocked AND (listed OR NOT allowed))
                list(JOIN owners " or " ownernames)
                list(JOIN blocked ", " blockednames)
                message("${file}:${number}: includes ${header} of ${ownernames}, "
                        "which ${blockednames} does not link")
                math(EXPR errors "${errors} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()

if(errors GREATER 0)
    message(FATAL_ERROR "${errors} include(s) break the layers: a file may include the headers "
                        "of its own target and of the libraries the target links")
endif()
list(LENGTH folders count)
message("layers: the includes of ${count} folders follow the links of their targets")
