# One include planted per row in a fresh scratch tree, then the layer check run on the checked
# layer: a backend named by the system, or a folder named by one below it, must be refused;
# an include along the graph must pass.
#   cmake -DCHECK=<CheckLayer.cmake> -DGRAPH=<graph.cmake> -DSCRATCH=<folder> -P PlantedIncludes.cmake
cmake_minimum_required(VERSION 3.25)
include(${GRAPH})
string(REPLACE ";" "," own "${OWN_LAYERS}")

# checked layer | folder of the planted file | included path | refused or accepted
set(rows
  "app|app|platform/sim/SimMachine.h|refused"
  "install|install|ui/headless/HeadlessBackend.h|refused"
  "uninstall|uninstall|platform/win32/Win32Platform.h|refused"
  "connection|connection|ui/win32/Win32Backend.h|refused"
  "core|core|ui/Ui.h|refused"
  "app|app|spooler/PortMonitor.h|refused"
  "ui|ui|ui/headless/HeadlessBackend.h|refused"
  "platform|platform|platform/sim/SimMachine.h|refused"
  "platform/sim|platform/sim|platform/win32/Win32Platform.h|refused"
  "ui/headless|ui/headless|ui/win32/Win32Backend.h|refused"
  "platform/sim|platform/sim|platform/Platform.h|accepted"
  "ui/win32|ui/win32|ui/win32/Win32Dialog.h|accepted"
  "app|app|install/InstallationRun.h|accepted"
  "core|core|platform/Constants.h|accepted"
  # A backend's own files are its layer's, not the folder's above it.
  "platform|platform/sim|platform/sim/SimCore.h|accepted")

set(wrong "")
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 layer)
  list(GET fields 1 folder)
  list(GET fields 2 included)
  list(GET fields 3 expected)
  file(REMOVE_RECURSE ${SCRATCH})
  file(WRITE ${SCRATCH}/${folder}/Planted.cpp "#include \"${included}\"\n")
  string(REPLACE ";" "," allowed "${ALLOWED_${layer}}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${SCRATCH} -DLAYER=${layer} -DALLOWED=${allowed}
                          -DOWN_LAYERS=${own} -DSTAMP=${SCRATCH}/stamp -P ${CHECK}
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE said)
  set(verdict accepted)
  if(NOT status EQUAL 0)
    set(verdict refused)
    # A refusal names the planted file and line.
    if(NOT said MATCHES "${folder}/Planted.cpp:1:")
      string(APPEND wrong "${row}: refused without naming the file and line: ${said}\n")
    endif()
  endif()
  if(NOT verdict STREQUAL expected)
    string(APPEND wrong "${row}: ${verdict}\n")
  endif()
endforeach()
file(REMOVE_RECURSE ${SCRATCH})
if(wrong)
  message(FATAL_ERROR "The layer check judged these includes wrongly:\n${wrong}")
endif()
