# cmake -DCHECK=<cmake/include-check.cmake> -DWORK=<scratch folder> -P UpwardIncludes.cmake
# The include check passes a small tree whose includes point down, and fails, naming the
# file, as soon as one include points up or across (or a source folder has no layer).
cmake_minimum_required(VERSION 3.25)
function(check expect_ok what)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} -P ${CHECK} RESULT_VARIABLE rc
                  ERROR_VARIABLE err)
  if(expect_ok AND NOT rc EQUAL 0)
    message(FATAL_ERROR "refused ${what}:\n${err}")
  elseif(NOT expect_ok AND (rc EQUAL 0 OR NOT err MATCHES "${what}"))
    message(FATAL_ERROR "did not name ${what}:\n${err}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/storage/Store.h "#include \"Tools/SQL/SQLDatabase.h\"\n#include \"platform/Clock.h\"\n")
file(WRITE ${WORK}/orders/Editor.cpp "#include \"widgets/MainBar.h\"\n#include \"storage/Store.h\"\n")
file(WRITE ${WORK}/app/main.cpp "#include \"web/Server.h\"\n#include \"orders/Editor.h\"\n")
check(TRUE "the downward tree")

foreach(bad "storage/Up.h|toolkit/Screen.h" "orders/Across.cpp|stats/Chart.h"
            "widgets/Bar.h|app/AppScreens.h" "Tools/SQL/Log.h|platform/Clock.h"
            "app/Delegate.cpp|web/Server.h" "reports/Report.cpp|storage/Store.h")
  string(REPLACE "|" ";" pair "${bad}")
  list(GET pair 0 file)
  list(GET pair 1 target)
  file(WRITE ${WORK}/${file} "#include <string>\n  #include \"${target}\"  // up\n")
  check(FALSE ${file})
  file(REMOVE ${WORK}/${file})
endforeach()
check(TRUE "the tree with the bad files gone")
