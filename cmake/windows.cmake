# The installer stub: a GUI PE32 that needs only the system's own DLLs.
enable_language(RC)

add_executable(vrnsetup WIN32 ${INSTALLER_SOURCES} resources/vrnsetup.rc)
target_include_directories(vrnsetup PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(vrnsetup PRIVATE -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables)
# No relocation section: nothing may follow the resources in the file.
target_link_options(vrnsetup PRIVATE -static -s -Wl,--disable-reloc-section -Wl,--disable-dynamicbase)
target_link_libraries(vrnsetup PRIVATE user32 gdi32 advapi32 shell32 winmm)
set_target_properties(vrnsetup PROPERTIES OUTPUT_NAME vrnsetup SUFFIX ".exe")

# The linker pads the resource section; stubfix moves the anchor's data to
# the very end of the file so that a package can be written from there on.
find_program(HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(STUBFIX ${CMAKE_BINARY_DIR}/stubfix)
set(STUBFIX_SOURCES ${CMAKE_SOURCE_DIR}/tools/stubfix.cpp ${CMAKE_SOURCE_DIR}/tools/common/pe_image.cpp)
add_custom_command(OUTPUT ${STUBFIX}
  COMMAND ${HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR}
          ${STUBFIX_SOURCES} -o ${STUBFIX}
  DEPENDS ${STUBFIX_SOURCES} ${CMAKE_SOURCE_DIR}/tools/common/pe_image.h
  COMMENT "Building stubfix for the build machine")
add_custom_target(stubfix_tool DEPENDS ${STUBFIX})
add_dependencies(vrnsetup stubfix_tool)
add_custom_command(TARGET vrnsetup POST_BUILD
  COMMAND ${STUBFIX} $<TARGET_FILE:vrnsetup>
  COMMENT "Placing the anchor resource at the end of vrnsetup.exe")
