# The host build: the installer's code on the simulated machine, the tools
# and the tests.
option(VRN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VRN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

set(VRN_STUB "${CMAKE_SOURCE_DIR}/build/win32/vrnsetup.exe" CACHE FILEPATH "The Windows build's installer stub")

file(GLOB HOST_PLATFORM_SOURCES CONFIGURE_DEPENDS platform/host/*.cpp)
# The simulated machine makes dialogs from the installer's own resources.
set(SHARED_TOOL_SOURCES ${CMAKE_SOURCE_DIR}/tools/common/dialog_template.cpp ${CMAKE_SOURCE_DIR}/tools/common/pe_image.cpp)
list(APPEND HOST_PLATFORM_SOURCES ${SHARED_TOOL_SOURCES})
add_library(vrn_host_platform STATIC ${HOST_PLATFORM_SOURCES})
target_include_directories(vrn_host_platform PUBLIC ${CMAKE_SOURCE_DIR})
find_package(Freetype REQUIRED)
target_link_libraries(vrn_host_platform PUBLIC Freetype::Freetype)

add_library(vrn_installer STATIC ${INSTALLER_SOURCES})
target_link_libraries(vrn_installer PUBLIC vrn_host_platform)

file(GLOB TOOLING_SOURCES CONFIGURE_DEPENDS tools/common/*.cpp)
list(REMOVE_ITEM TOOLING_SOURCES ${SHARED_TOOL_SOURCES})
add_library(vrn_tooling STATIC ${TOOLING_SOURCES})
target_include_directories(vrn_tooling PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vrn_tooling PUBLIC vrn_installer)

file(GLOB VRN_PACK_SOURCES CONFIGURE_DEPENDS tools/vrn-pack/*.cpp)
add_executable(vrn-pack ${VRN_PACK_SOURCES})
target_link_libraries(vrn-pack PRIVATE vrn_tooling)

file(GLOB VRN_MACHINE_SOURCES CONFIGURE_DEPENDS tools/vrn-machine/*.cpp)
add_executable(vrn-machine ${VRN_MACHINE_SOURCES})
target_link_libraries(vrn-machine PRIVATE vrn_tooling)

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()

enable_testing()
find_package(GTest REQUIRED)
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
add_executable(vrn_tests ${TEST_SOURCES})
target_link_libraries(vrn_tests PRIVATE vrn_tooling GTest::gtest GTest::gtest_main)
target_compile_definitions(vrn_tests PRIVATE
  VRN_STUB="${VRN_STUB}"
  VRN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  VRN_PACK="$<TARGET_FILE:vrn-pack>"
  VRN_MACHINE="$<TARGET_FILE:vrn-machine>")
add_dependencies(vrn_tests vrn-pack vrn-machine)
include(GoogleTest)
gtest_discover_tests(vrn_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
