# clang reads sources as UTF-8 only and has no -fexec-charset=GBK. For a clang
# build (the fuzz targets), player_gbk_sources(target) compiles GBK copies of
# the target's sources that hold non-ASCII bytes instead: clang keeps the bytes
# of a string literal as they stand, so the literals are the same GBK bytes the
# g++ builds make. A table a source includes as "NAME.inc" from its own folder
# counts as part of it: the table's GBK copy is put beside the source's copy,
# where the quoted include finds it first. The copies are made at configure
# time and again whenever a source or such a table changes.

# Writes the GBK form of the UTF-8 file `path` to `copy` (only when it differs).
function(player_gbk_copy path copy)
    get_filename_component(copy_dir "${copy}" DIRECTORY)
    file(MAKE_DIRECTORY "${copy_dir}")
    execute_process(COMMAND iconv -f UTF-8 -t GBK "${path}" OUTPUT_FILE "${copy}.new"
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${path} has no GBK form")
    endif()
    file(COPY_FILE "${copy}.new" "${copy}" ONLY_IF_DIFFERENT)
    file(REMOVE "${copy}.new")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
endfunction()

function(player_gbk_sources target)
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    set(converted_sources "")
    foreach(source IN LISTS sources)
        if(IS_ABSOLUTE "${source}")
            set(path "${source}")
        else()
            set(path "${source_dir}/${source}")
        endif()
        get_filename_component(original_dir "${path}" DIRECTORY)
        # The tables it includes from its own folder.
        set(tables "")
        if(EXISTS "${path}")
            file(STRINGS "${path}" includes REGEX "^#include \"[^\"/]+\\.inc\"")
            foreach(include IN LISTS includes)
                string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" name "${include}")
                if(EXISTS "${original_dir}/${name}")
                    list(APPEND tables "${original_dir}/${name}")
                endif()
            endforeach()
        endif()
        execute_process(COMMAND grep -qP "[^\\x00-\\x7F]" "${path}" ${tables}
                        RESULT_VARIABLE plain)
        if(NOT plain EQUAL 0)
            list(APPEND converted_sources "${source}")
            continue()
        endif()
        file(RELATIVE_PATH relative "${PROJECT_SOURCE_DIR}" "${path}")
        set(copy "${PROJECT_BINARY_DIR}/gbk_sources/${relative}")
        get_filename_component(copy_dir "${copy}" DIRECTORY)
        player_gbk_copy("${path}" "${copy}")
        foreach(table IN LISTS tables)
            get_filename_component(table_name "${table}" NAME)
            player_gbk_copy("${table}" "${copy_dir}/${table_name}")
        endforeach()
        # Includes relative to the original file still resolve.
        target_include_directories(${target} PRIVATE "${original_dir}")
        list(APPEND converted_sources "${copy}")
    endforeach()
    set_property(TARGET ${target} PROPERTY SOURCES ${converted_sources})
    target_compile_options(${target} PRIVATE -Wno-invalid-source-encoding)
endfunction()
