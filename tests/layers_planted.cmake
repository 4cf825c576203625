# The include check on a tree of its own, one planted include at a time: every form an include of a
# later layer can take must fail the check, and the includes the layers allow must pass. Run as
#   cmake -DWORK_DIR=<scratch folder> -P layers_planted.cmake
cmake_minimum_required(VERSION 3.20)
if(NOT WORK_DIR)
    message(FATAL_ERROR "layers_planted.cmake: give a scratch folder with -DWORK_DIR=...")
endif()

# Each case: what it plants | the file | its include | what the check must say (empty: it passes).
set(cases
    "quotes|services/Plant.cpp|#include \"app/ExamSession.h\"|services may not include app"
    "angle brackets|services/Plant.cpp|#include <app/ExamSession.h>|services may not include app"
    "spaces after the hash|services/Plant.cpp|#  include   <app/ExamSession.h>|services may not include app"
    "relative to the folder|services/Plant.cpp|#include \"../app/ExamSession.h\"|services may not include app"
    "relative from a subfolder|gui/shell/Plant.cpp|#include \"../../main/Start.h\"|gui may not include main"
    "relative, then down again|base/Plant.cpp|#include \"../base/../model/Norms.h\"|base may not include model"
    "out of the source folder|base/Plant.cpp|#include \"../../tests/x.h\"|reaches outside the source folder"
    "the command line into windows|cli/Plant.cpp|#include <gui/shell/Program.h>|cli may not include gui"
    "a program into another|main/Plant.cpp|#include \"cli/CliArgs.h\"|main may not include cli"
    "a layer below, angle brackets|app/Plant.cpp|#include <services/ArchiveFolder.h>|"
    "a layer below, relative|app/Plant.cpp|#include \"../base/UserError.h\"|"
    "a file beside|services/Plant.cpp|#include \"ArchiveFolder.h\"|"
    "a system header|services/Plant.cpp|#include <QtCore/QString>|"
    "the command line below its top|cli/Plant.cpp|#include \"app/Commands.h\"|")

set(failed 0)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 file)
    list(GET fields 2 include)
    list(LENGTH fields count)
    set(expected "")
    if(count GREATER 3)
        list(GET fields 3 expected)
    endif()

    set(tree ${WORK_DIR}/planted)
    file(REMOVE_RECURSE ${tree})
    file(WRITE ${tree}/services/ArchiveFolder.h "#pragma once\n")
    file(WRITE ${tree}/${file} "// planted\n${include}\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CMAKE_CURRENT_LIST_DIR}/layers.cmake
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(expected STREQUAL "")
        if(NOT status EQUAL 0)
            message("${name}: ${include} was refused, but the layers allow it:\n${out}")
            math(EXPR failed "${failed} + 1")
        endif()
    else()
        string(FIND "${out}" "${file}: " named)
        string(FIND "${out}" "${expected}" said)
        if(status EQUAL 0 OR named EQUAL -1 OR said EQUAL -1)
            message("${name}: ${include} in ${file} passed the check, or without \"${expected}\":\n${out}")
            math(EXPR failed "${failed} + 1")
        endif()
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR}/planted)

if(failed GREATER 0)
    message(FATAL_ERROR "${failed} planted include(s) judged wrongly")
endif()
list(LENGTH cases count)
message("All ${count} planted includes judged right.")
