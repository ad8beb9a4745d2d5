# marqor_embed_resources(<target> <name> <file> [<name> <file> ...])
# Builds a static library that holds every file as a named, read-only byte array. A listed file
# that does not exist stops the configure step, so a missing resource fails the build rather than
# the program.
function(marqor_embed_resources target)
    set(args ${ARGN})
    list(LENGTH args n)
    math(EXPR odd "${n} % 2")
    if(NOT odd EQUAL 0)
        message(FATAL_ERROR "marqor_embed_resources: expected name/file pairs")
    endif()
    set(names "")
    set(files "")
    while(args)
        list(POP_FRONT args name file)
        get_filename_component(path "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
        if(NOT EXISTS "${path}")
            message(FATAL_ERROR "Resource ${name}: file ${path} does not exist")
        endif()
        list(APPEND names "${name}")
        list(APPEND files "${path}")
    endwhile()
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_data.cpp")
    string(REPLACE ";" "|" names_arg "${names}")
    string(REPLACE ";" "|" files_arg "${files}")
    add_custom_command(
        OUTPUT "${out}"
        COMMAND ${CMAKE_COMMAND} "-DOUT=${out}" "-DNAMES=${names_arg}" "-DFILES=${files_arg}"
                -P "${PROJECT_SOURCE_DIR}/cmake/GenerateResources.cmake"
        DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/GenerateResources.cmake"
        COMMENT "Embedding resources into ${target}"
        VERBATIM)
    add_library(${target} STATIC "${out}")
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
