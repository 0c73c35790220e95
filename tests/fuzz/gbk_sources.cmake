# clang reads sources as UTF-8 only and has no -fexec-charset=GBK. For a clang
# build (the fuzz targets), player_gbk_sources(target) compiles GBK copies of
# the target's sources that hold non-ASCII bytes instead: clang keeps the bytes
# of a string literal as they stand, so the literals are the same GBK bytes the
# g++ builds make. The copies are made at configure time and again whenever a
# source changes.

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
        execute_process(COMMAND grep -qP "[^\\x00-\\x7F]" "${path}" RESULT_VARIABLE plain)
        if(NOT plain EQUAL 0)
            list(APPEND converted_sources "${source}")
            continue()
        endif()
        file(RELATIVE_PATH relative "${PROJECT_SOURCE_DIR}" "${path}")
        set(copy "${PROJECT_BINARY_DIR}/gbk_sources/${relative}")
        get_filename_component(copy_dir "${copy}" DIRECTORY)
        get_filename_component(original_dir "${path}" DIRECTORY)
        file(MAKE_DIRECTORY "${copy_dir}")
        execute_process(COMMAND iconv -f UTF-8 -t GBK "${path}" OUTPUT_FILE "${copy}.new"
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "${path} has no GBK form")
        endif()
        file(COPY_FILE "${copy}.new" "${copy}" ONLY_IF_DIFFERENT)
        file(REMOVE "${copy}.new")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
        # Includes relative to the original file still resolve.
        target_include_directories(${target} PRIVATE "${original_dir}")
        list(APPEND converted_sources "${copy}")
    endforeach()
    set_property(TARGET ${target} PROPERTY SOURCES ${converted_sources})
    target_compile_options(${target} PRIVATE -Wno-invalid-source-encoding)
endfunction()
