# cmake -DROOT=<source tree> -P include-check.cmake
# Fails when a source includes a folder above its own: the layers, from the top, are
#   app -> catalogue, orders, stats, exchange -> widgets -> toolkit -> storage -> Tools
# with the platform services beside them (anyone but Tools may include platform/) and web/
# outermost (only app/main.cpp, which starts it, includes it). The subsystems do not include
# each other: they open each other's screens by class name (toolkit/ScreenFactory.h).
# Only quoted includes with a folder ("storage/Records.h") are checked; tests/ and bench/
# may include anything. A new source folder has to be given its place here.
cmake_minimum_required(VERSION 3.25)
set(subsystems catalogue orders stats exchange)
set(below_Tools Tools)
set(below_platform platform Tools)
set(below_storage storage platform Tools)
set(below_toolkit toolkit ${below_storage})
set(below_widgets widgets ${below_toolkit})
foreach(s IN LISTS subsystems)
  set(below_${s} ${s} ${below_widgets})
endforeach()
set(below_app app ${subsystems} ${below_widgets})
set(below_web web ${below_app})
set(layers Tools platform storage toolkit widgets ${subsystems} app web)
set(unchecked tests bench cmake docs resources scripts node_modules test-artifacts)

set(faults "")
file(GLOB children RELATIVE ${ROOT} ${ROOT}/*)
foreach(dir IN LISTS children)
  if(NOT IS_DIRECTORY ${ROOT}/${dir} OR dir IN_LIST unchecked OR dir MATCHES "^(build|\\.)")
    continue()
  endif()
  file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${dir}/*.h ${ROOT}/${dir}/*.cpp)
  if(NOT dir IN_LIST layers)
    if(sources)
      string(REPLACE ";" ", " sources "${sources}")
      string(APPEND faults "${dir}/ has no place in the layers: ${sources}\n")
    endif()
    continue()
  endif()
  foreach(src IN LISTS sources)
    file(STRINGS ${ROOT}/${src} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*$" "\\1" target "${line}")
      if(target IN_LIST below_${dir} OR (src STREQUAL "app/main.cpp" AND target STREQUAL "web"))
        continue()
      endif()
      string(STRIP "${line}" line)
      string(APPEND faults "${src}: ${line}\n")
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes that point up or across:\n${faults}")
endif()
