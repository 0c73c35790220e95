# Fails unless PROGRAM imports system DLLs only: a player must run on a bare
# system, with no runtime DLL of the compiler beside it.
# With NOT_LOADED, a list of DLL names, it also fails when PROGRAM imports one of
# them: DLLs the program loads only when a script needs them.
#   cmake -DOBJDUMP=... -DPROGRAM=... [-DNOT_LOADED=a.dll;b.dll] -P check_imports.cmake

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM}
                OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed: ${errors}")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
    message(FATAL_ERROR "no imported DLL found in ${PROGRAM}; is it a Windows program?")
endif()

# version.dll (file version reading, used by the packer) is part of every Windows too.
set(allowed "^(kernel32|user32|gdi32|shell32|msvcrt|advapi32|version|comctl32|comdlg32|api-ms-win-[a-z0-9-]+)\\.dll$")
set(bad "")
set(early "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" name)
    message(STATUS "imports ${dll}")
    if(NOT name MATCHES "${allowed}")
        list(APPEND bad "${dll}")
    endif()
    foreach(deferred IN LISTS NOT_LOADED)
        string(TOLOWER "${deferred}" deferred)
        if(name STREQUAL deferred)
            list(APPEND early "${dll}")
        endif()
    endforeach()
endforeach()
if(bad)
    message(FATAL_ERROR "${PROGRAM} imports DLLs that are not part of the system: ${bad}")
endif()
if(early)
    message(FATAL_ERROR "${PROGRAM} imports ${early}, which it loads on first use only")
endif()
