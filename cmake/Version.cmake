# The program's version: the number in VERSION (LOGORA_VERSION, also the project's version) and the version
# string of this build (LOGORA_VERSION_STRING, from tools/version.sh: untagged builds say so). The version
# resource, the release archives, the installer and the about text all read these.
execute_process(COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../tools/version.sh
                OUTPUT_VARIABLE LOGORA_VERSION_STRING OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE version_rc)
if(NOT version_rc EQUAL 0 OR LOGORA_VERSION_STRING STREQUAL "")
  message(FATAL_ERROR "tools/version.sh failed: ${version_rc}")
endif()
set(LOGORA_VERSION ${PROJECT_VERSION})
# A new commit changes the string: configure again when HEAD or the branch it names moves.
set(version_inputs ${PROJECT_SOURCE_DIR}/VERSION)
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} symbolic-ref -q HEAD
                OUTPUT_VARIABLE branch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
foreach(ref HEAD ${branch})
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --path-format=absolute --git-path ${ref}
                  OUTPUT_VARIABLE ref_file OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(ref_file AND EXISTS ${ref_file})
    list(APPEND version_inputs ${ref_file})
  endif()
endforeach()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${version_inputs})
