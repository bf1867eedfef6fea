# Project-wide settings shared by every subsystem's CMakeLists.txt.

set(LOGORA_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

if(WIN32)
  # Dependencies cross-built by tools/bootstrap.sh (Poco, libpng, libjpeg-turbo, GoogleTest).
  if(NOT LOGORA_DEPS)
    message(FATAL_ERROR "LOGORA_DEPS is not set: configure through tools/build.sh")
  endif()
  # The toolchain file names the mingw-w64 system root of its architecture.
  if(NOT LOGORA_MINGW_SYSROOT)
    set(LOGORA_MINGW_SYSROOT /usr/x86_64-w64-mingw32)
  endif()
  list(APPEND CMAKE_FIND_ROOT_PATH ${LOGORA_DEPS})
  list(APPEND CMAKE_PREFIX_PATH ${LOGORA_DEPS})
  set(ZLIB_LIBRARY ${LOGORA_MINGW_SYSROOT}/lib/libz.a CACHE FILEPATH "" FORCE)
  set(ZLIB_INCLUDE_DIR ${LOGORA_MINGW_SYSROOT}/include CACHE PATH "" FORCE)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601
                          POCO_STATIC POCO_NO_AUTOMATIC_LIBS)
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(LOGORA_WIN32_LIBS gdi32 msimg32 comctl32 comdlg32 shell32 ole32 ws2_32 psapi uuid advapi32 user32 kernel32)
else()
  if(LOGORA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
if(WIN32)
  # Poco's installed package files drag in components this project does not build (Util, JSON);
  # the two libraries it uses are imported directly.
  foreach(component Foundation Zip)
    add_library(Poco::${component} STATIC IMPORTED)
    set_target_properties(Poco::${component} PROPERTIES
      IMPORTED_LOCATION ${LOGORA_DEPS}/lib/libPoco${component}.a
      INTERFACE_INCLUDE_DIRECTORIES ${LOGORA_DEPS}/include
      INTERFACE_COMPILE_DEFINITIONS "POCO_STATIC;POCO_NO_AUTOMATIC_LIBS")
  endforeach()
  # Poco's headers include <Winsock2.h> and friends with capitals; mingw's headers are lower-case.
  set(shim ${PROJECT_BINARY_DIR}/include-shim)
  file(MAKE_DIRECTORY ${shim})
  foreach(header Winsock2.h Iphlpapi.h WS2tcpip.h Windows.h)
    string(TOLOWER ${header} lower)
    file(CREATE_LINK ${LOGORA_MINGW_SYSROOT}/include/${lower} ${shim}/${header} SYMBOLIC)
  endforeach()
  set_property(TARGET Poco::Foundation APPEND PROPERTY INTERFACE_INCLUDE_DIRECTORIES ${shim})
  set_property(TARGET Poco::Zip PROPERTY INTERFACE_LINK_LIBRARIES Poco::Foundation)
  set_property(TARGET Poco::Foundation PROPERTY INTERFACE_LINK_LIBRARIES iphlpapi ws2_32 ZLIB::ZLIB)
else()
  find_package(Poco REQUIRED COMPONENTS Foundation Zip)
endif()
find_package(Threads REQUIRED)

# logora_library(name SOURCES ... [WIN32_SOURCES ...] [LIBS ...])
# Platform-free sources build everywhere; WIN32_SOURCES only in the Windows build.
function(logora_library name)
  cmake_parse_arguments(A "" "" "SOURCES;WIN32_SOURCES;LIBS;WIN32_LIBS" ${ARGN})
  set(srcs ${A_SOURCES})
  if(WIN32)
    list(APPEND srcs ${A_WIN32_SOURCES})
  endif()
  if(NOT srcs)
    return()  # nothing of this library builds in this configuration
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${LOGORA_WARNINGS})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  if(WIN32)
    target_link_libraries(${name} PUBLIC ${A_WIN32_LIBS} ${LOGORA_WIN32_LIBS})
  endif()
endfunction()

# ---- tests -------------------------------------------------------------------------------------------------
# logora_gtest(name SOURCES ... [LIBS ...] [WIN32_ONLY] [NATIVE_ONLY] [TIMEOUT s] [PROPERTIES ...])
# A folder may set LOGORA_TEST_PROPERTIES (test properties added to every Windows test defined after it).
# Native tests run directly (with sanitizers in the test configuration); Windows tests run under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR, discovered at test time, one process per test so a crash stays contained.
function(logora_gtest name)
  cmake_parse_arguments(A "WIN32_ONLY;NATIVE_ONLY" "TIMEOUT" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(A_WIN32_ONLY AND NOT WIN32)
    return()
  endif()
  if(A_NATIVE_ONLY AND WIN32)
    return()
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${LOGORA_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE LOGORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             LOGORA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(WIN32)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT ${A_TIMEOUT} ${A_PROPERTIES} ${LOGORA_TEST_PROPERTIES})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT ${A_TIMEOUT} ${A_PROPERTIES})
  endif()
endfunction()

# Folder that generated resource files are written to (see resources/CMakeLists.txt).
set(LOGORA_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${LOGORA_GENERATED_DIR})
