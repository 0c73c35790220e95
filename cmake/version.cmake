# One version for every program, read from the file VERSION at the top of the
# repository (MAJOR.MINOR.PATCH).
#
# A tool applies it with one line in its CMakeLists.txt, after add_executable:
#
#   add_version_info(spy "Script player window spy")
#
# The target then carries a VERSIONINFO resource (file and product version, the
# description given, the product name, the copyright), which Explorer's
# Properties show, and can `#include "program_version.h"` for its --version:
#
#   std::printf("spy %s\n", PROGRAM_VERSION);   // "spy 1.0.0"
#
# add_player() (cmake/player.cmake) applies it to every player.

file(STRINGS ${PROJECT_SOURCE_DIR}/VERSION program_version LIMIT_COUNT 1)
string(STRIP "${program_version}" program_version)
if(NOT program_version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "VERSION must hold MAJOR.MINOR.PATCH, not \"${program_version}\"")
endif()
set(PROGRAM_VERSION ${program_version})
set(program_version_numbers "${CMAKE_MATCH_1},${CMAKE_MATCH_2},${CMAKE_MATCH_3},0")
# A changed VERSION configures the tree again.
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/VERSION)

set(PROGRAM_PRODUCT_NAME "Script player")
# The description of every player: the packer knows a player by it.
set(PROGRAM_PLAYER_DESCRIPTION "Script player")
set(PROGRAM_COPYRIGHT "Copyright (c) 2026 The script player developers")

set(program_version_dir ${PROJECT_BINARY_DIR}/version)
file(CONFIGURE OUTPUT ${program_version_dir}/program_version.h CONTENT
"#pragma once
// Made by cmake/version.cmake from the file VERSION.

#define PROGRAM_VERSION \"@PROGRAM_VERSION@\"
#define PROGRAM_PRODUCT_NAME \"@PROGRAM_PRODUCT_NAME@\"
#define PROGRAM_PLAYER_DESCRIPTION \"@PROGRAM_PLAYER_DESCRIPTION@\"
#define PROGRAM_COPYRIGHT \"@PROGRAM_COPYRIGHT@\"
" @ONLY)

# add_version_info(TARGET DESCRIPTION)
function(add_version_info target description)
    if(description MATCHES "[\"\\\\]")
        message(FATAL_ERROR "add_version_info(${target}): no quotes or backslashes in the description")
    endif()
    target_include_directories(${target} PRIVATE ${program_version_dir})
    if(NOT WIN32)
        return()
    endif()
    set(original_name "${target}${CMAKE_EXECUTABLE_SUFFIX}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    # Numbers instead of the winver.h names: windres needs no include path.
    # 0x40004 VOS_NT_WINDOWS32, 1 VFT_APP; 0x0409 / 1200: US English, UTF-16.
    file(CONFIGURE OUTPUT ${rc} CONTENT
"// Made by cmake/version.cmake for ${target}.

1 VERSIONINFO
FILEVERSION ${program_version_numbers}
PRODUCTVERSION ${program_version_numbers}
FILEFLAGSMASK 0x3f
FILEFLAGS 0
FILEOS 0x40004
FILETYPE 1
FILESUBTYPE 0
BEGIN
    BLOCK \"StringFileInfo\"
    BEGIN
        BLOCK \"040904B0\"
        BEGIN
            VALUE \"FileDescription\", \"${description}\"
            VALUE \"FileVersion\", \"${PROGRAM_VERSION}\"
            VALUE \"InternalName\", \"${target}\"
            VALUE \"LegalCopyright\", \"${PROGRAM_COPYRIGHT}\"
            VALUE \"OriginalFilename\", \"${original_name}\"
            VALUE \"ProductName\", \"${PROGRAM_PRODUCT_NAME}\"
            VALUE \"ProductVersion\", \"${PROGRAM_VERSION}\"
        END
    END
    BLOCK \"VarFileInfo\"
    BEGIN
        VALUE \"Translation\", 0x0409, 1200
    END
END
")
    target_sources(${target} PRIVATE ${rc})
endfunction()
