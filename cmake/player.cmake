# Player executables. Each is one self-contained GUI program: the runner's
# logic, the Win32 platform layer, the application icon, the manifest, the
# version resource (cmake/version.cmake), and optionally a script embedded as resource type 10 (RCDATA) with the id 1.
#
#   add_player(NAME SCRIPT_FILE)   a player that carries SCRIPT_FILE
#   add_player(NAME)               a player without a script (it ends at once)

set(player_resource_dir ${PROJECT_SOURCE_DIR}/src/runner)
set(player_resource_files ${player_resource_dir}/player.ico ${player_resource_dir}/player.manifest
    ${player_resource_dir}/player_start.manifest)

# Every function and datum in a section of its own, so the linker drops whatever
# no player reaches.
set(player_size_options -Os -ffunction-sections -fdata-sections)
# Stripped, and whatever no entry point reaches dropped.
set(player_link_options -s -Wl,--gc-sections)
target_compile_options(player_core PRIVATE ${player_size_options})
target_compile_options(platform_win32 PRIVATE ${player_size_options})

function(add_player name)
    list(LENGTH ARGN extra)
    if(extra GREATER 1)
        message(FATAL_ERROR "add_player(${name}): at most one script file, got ${ARGN}")
    endif()

    if(extra EQUAL 1)
        get_filename_component(script "${ARGN}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        if(script MATCHES "[\"\\\\]")
            message(FATAL_ERROR "add_player(${name}): the script path must not hold quotes or backslashes")
        endif()
        set(resources ${CMAKE_CURRENT_BINARY_DIR}/${name}_resources.rc)
        file(CONFIGURE OUTPUT ${resources} CONTENT
             "#include \"player.rc\"\n\n// The script the player runs\n1 10 \"${script}\"\n" @ONLY)
        set_source_files_properties(${resources} PROPERTIES
                                    OBJECT_DEPENDS "${script};${player_resource_dir}/player.rc;${player_resource_files}")
    else()
        set(resources ${player_resource_dir}/player.rc)
        set_source_files_properties(${resources} PROPERTIES
                                    OBJECT_DEPENDS "${player_resource_files}")
    endif()

    add_executable(${name} WIN32 ${player_resource_dir}/win_main.cpp ${resources})
    # windres looks up #include files and the files the resources name here.
    target_include_directories(${name} PRIVATE ${player_resource_dir})
    target_compile_options(${name} PRIVATE
                           $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra ${player_size_options}>)
    target_link_libraries(${name} PRIVATE player_core)
    target_link_options(${name} PRIVATE ${player_link_options})
    add_version_info(${name} "${PROGRAM_PLAYER_DESCRIPTION}")
endfunction()

add_player(player)
